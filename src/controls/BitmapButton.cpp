#include "BitmapButton.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

namespace korbana {

namespace {

std::function<void(int)> s_helpHandler;

} // namespace

BitmapButton::BitmapButton(QWidget* parent)
    : QPushButton(parent)
    , m_glyph(new ButtonGlyph(this))
{
    // First connection: the modal result reaches the dialog before any handler runs.
    connect(this, &QAbstractButton::clicked, this, &BitmapButton::runKindAction);
    connect(m_glyph, &ButtonGlyph::changed, this, qOverload<>(&QWidget::update));
    connect(qApp, &QApplication::focusChanged, this, &BitmapButton::updateDefaultLook);
    // Enter clicks the focused button, in dialogs and elsewhere.
    setAutoDefault(true);
    VisualThemes::initThemeLibrary();
    m_theme = VisualThemes::openThemeData(this, QStringLiteral("BUTTON"));
}

BitmapButton::~BitmapButton()
{
    // QWidget's destructor moves the focus: no slot of ours may run by then.
    disconnect(qApp, nullptr, this, nullptr);
    if (m_watchedWindow)
        m_watchedWindow->removeEventFilter(this);
}

ButtonKind BitmapButton::kind() const
{
    if (m_kind != ButtonKind::Custom) {
        const ButtonKindInfo& info = buttonKindInfo(m_kind);
        if (m_defaultButton != info.isDefault || m_cancelButton != info.isCancel || m_modalResult != info.modalResult
            || m_modifiedGlyph)
            m_kind = ButtonKind::Custom;
    }
    return m_kind;
}

void BitmapButton::setKind(ButtonKind kind)
{
    // Compared with what kind() reads, so that a kind set again after a change restores its values.
    if (kind == this->kind())
        return;
    if (kind != ButtonKind::Custom) {
        const ButtonKindInfo& info = buttonKindInfo(kind);
        setDefaultButton(info.isDefault);
        setCancelButton(info.isCancel);
        setText(QString::fromUtf16(info.caption));
        m_modalResult = info.modalResult;
        m_glyph->setGlyph(buttonKindGlyph(kind));
        m_glyph->setNumGlyphs(2);
        m_modifiedGlyph = false;
    }
    m_kind = kind;
    update();
}

QImage BitmapButton::glyph() const
{
    return m_glyph->glyph();
}

void BitmapButton::setGlyph(const QImage& glyph)
{
    m_glyph->setGlyph(glyph);
    m_modifiedGlyph = true;
    update();
}

int BitmapButton::numGlyphs() const
{
    return m_glyph->numGlyphs();
}

void BitmapButton::setNumGlyphs(int value)
{
    m_glyph->setNumGlyphs(value);
}

void BitmapButton::setGlyphLayout(ButtonLayout layout)
{
    if (layout != m_glyphLayout) {
        m_glyphLayout = layout;
        update();
    }
}

void BitmapButton::setGlyphMargin(int margin)
{
    if (margin != m_glyphMargin && margin >= -1) {
        m_glyphMargin = margin;
        update();
    }
}

void BitmapButton::setGlyphSpacing(int spacing)
{
    if (spacing != m_glyphSpacing) {
        m_glyphSpacing = spacing;
        update();
    }
}

void BitmapButton::setButtonStyle(ButtonStyle style)
{
    if (style != m_buttonStyle) {
        m_buttonStyle = style;
        update();
    }
}

void BitmapButton::setDefaultButton(bool value)
{
    m_defaultButton = value;
    QPushButton::setDefault(value);
    updateDefaultLook();
}

void BitmapButton::setCancelButton(bool value)
{
    m_cancelButton = value;
    watchWindow();
}

void BitmapButton::setHelpHandler(std::function<void(int)> handler)
{
    s_helpHandler = std::move(handler);
}

void BitmapButton::runKindAction()
{
    switch (kind()) {
    case ButtonKind::Help:
        for (const QWidget* w = this; w; w = w->parentWidget()) {
            const int context = w->property("helpContext").toInt();
            if (context != 0) {
                if (s_helpHandler)
                    s_helpHandler(context);
                return;
            }
        }
        break;
    case ButtonKind::Close:
        if (QWidget* form = window(); form != this) {
            form->close();
            return;
        }
        break;
    default:
        break;
    }
    applyModalResultAndActivate();
}

void BitmapButton::applyModalResultAndActivate()
{
    const QPointer<BitmapButton> self(this);
    if (m_modalResult != ModalResult::None) {
        if (auto* dialog = qobject_cast<QDialog*>(window())) {
            const int result = dialogResultFor(m_modalResult);
            if (result == QDialog::Accepted)
                dialog->accept();
            else if (result == QDialog::Rejected)
                dialog->reject();
            else
                dialog->done(result);
        }
    }
    if (self)
        Q_EMIT activated();
}

void BitmapButton::updateDefaultLook()
{
    const QWidget* focused = window()->focusWidget();
    const bool look = focused == this || (m_defaultButton && !qobject_cast<const QPushButton*>(focused));
    if (look != m_defaultLook) {
        m_defaultLook = look;
        update();
    }
}

void BitmapButton::watchWindow()
{
    QWidget* form = m_cancelButton ? window() : nullptr;
    if (form == this)
        form = nullptr;
    if (form == m_watchedWindow)
        return;
    if (m_watchedWindow)
        m_watchedWindow->removeEventFilter(this);
    m_watchedWindow = form;
    if (form)
        form->installEventFilter(this);
}

bool BitmapButton::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_watchedWindow && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier && m_cancelButton && isVisible()
            && isEnabled()) {
            click();
            return true;
        }
    }
    return QPushButton::eventFilter(watched, event);
}

bool BitmapButton::event(QEvent* event)
{
    if (event->type() == QEvent::ParentChange) {
        // The dialog learns its default button only from a button inside it.
        if (m_defaultButton)
            QPushButton::setDefault(true);
        watchWindow();
        updateDefaultLook();
    }
    return QPushButton::event(event);
}

void BitmapButton::changeEvent(QEvent* event)
{
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::EnabledChange)
        update();
}

void BitmapButton::showEvent(QShowEvent* event)
{
    QPushButton::showEvent(event);
    m_glyph->stateImage(isEnabled() ? ButtonState::Up : ButtonState::Disabled, palette());
    updateDefaultLook();
}

void BitmapButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    // A fast double click is two clicks, not one.
    if (event->button() == Qt::LeftButton)
        mousePressEvent(event);
    else
        QPushButton::mouseDoubleClickEvent(event);
}

void BitmapButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const bool themed = VisualThemes::themesInUse(this);
    if (themed && !m_theme)
        m_theme = VisualThemes::openThemeData(this, QStringLiteral("BUTTON"));
    const QRect client = rect();
    const ButtonDrawPlan plan = planButtonDrawing(client, { themed, isEnabled(), isDown(), hasFocus(), m_defaultLook });
    if (themed)
        drawThemedFrame(painter, *this, *m_theme, client, plan);
    else
        drawClassicFrame(painter, client, plan, isDown(), palette());

    painter.setFont(font());
    const ButtonContent content { m_glyph, text(), font(), m_glyphLayout, m_glyphMargin, m_glyphSpacing,
        layoutDirection() == Qt::RightToLeft };
    drawGlyphAndCaption(painter, plan.contentRect, plan.glyphState, content, palette());
    if (plan.focusRect)
        drawDottedRect(painter, client.adjusted(4, 4, -4, -4), palette().color(QPalette::ButtonText));
}

} // namespace korbana
