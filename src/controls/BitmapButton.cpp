#include "BitmapButton.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

#include <algorithm>

namespace {

constexpr std::array<ButtonKindInfo, 11> kKinds { {
    { u"", "", mrNone, false, false },
    { u"OK", "BBOKX", mrOk, true, false },
    { u"Cancel", "BBCANCELX", mrCancel, false, true },
    { u"&Help", "BBHELPX", mrNone, false, false },
    { u"&Yes", "BBYESX", mrYes, true, false },
    { u"&No", "BBNOX", mrNo, false, true },
    { u"&Close", "BBCLOSEX", mrNone, false, false },
    { u"Abort", "BBABORTX", mrAbort, false, false },
    { u"&Retry", "BBRETRYX", mrRetry, false, false },
    { u"&Ignore", "BBIGNOREX", mrIgnore, false, false },
    { u"&All", "BBALLX", mrAll, false, false },
} };

GlyphCache* s_cache = nullptr;
std::function<void(int)> s_helpHandler;

// Pixels of the colour become transparent.
QImage masked(QImage image, QRgb transparent)
{
    transparent = qRgb(qRed(transparent), qGreen(transparent), qBlue(transparent));
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] | 0xff000000u) == transparent)
                line[x] = 0;
        }
    }
    return image;
}

// An image list's default mask colour is the lower-left pixel.
QImage maskedByLowerLeft(const QImage& image)
{
    return masked(image, image.pixel(0, image.height() - 1));
}

// White becomes the highlight, grey the shadow and the transparent colour the face of the buttons.
QImage recolouredDisabled(QImage image, QRgb transparent, const QPalette& palette)
{
    const QRgb white = qRgb(255, 255, 255);
    const QRgb grey = qRgb(128, 128, 128);
    transparent |= 0xff000000u;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x] | 0xff000000u;
            if (pixel == white)
                line[x] = palette.color(QPalette::Light).rgb();
            else if (pixel == grey)
                line[x] = palette.color(QPalette::Dark).rgb();
            else if (pixel == transparent)
                line[x] = palette.color(QPalette::Button).rgb();
        }
    }
    return maskedByLowerLeft(image);
}

// The glyph's dark shape in the highlight one pixel right and down, then in the shadow in place.
QImage embossed(const QImage& source, QRgb transparent, const QPalette& palette)
{
    transparent |= 0xff000000u;
    QImage image(source.size(), QImage::Format_ARGB32);
    image.fill(palette.color(QPalette::Button));
    auto inShape = [&](int x, int y) {
        const QRgb pixel = source.pixel(x, y) | 0xff000000u;
        return pixel != transparent && qGray(pixel) < 224;
    };
    for (const auto& [dx, role] : { std::pair { 1, QPalette::Light }, std::pair { 0, QPalette::Dark } }) {
        for (int y = 0; y < source.height(); ++y) {
            for (int x = 0; x < source.width(); ++x) {
                if (inShape(x, y) && x + dx < image.width() && y + dx < image.height())
                    image.setPixel(x + dx, y + dx, palette.color(role).rgb());
            }
        }
    }
    return maskedByLowerLeft(image);
}

void drawDottedRect(QPainter& painter, const QRect& rect, const QColor& colour)
{
    painter.setPen(colour);
    for (int x = rect.left(); x <= rect.right(); x += 2) {
        painter.drawPoint(x, rect.top());
        painter.drawPoint(x, rect.bottom());
    }
    for (int y = rect.top(); y <= rect.bottom(); y += 2) {
        painter.drawPoint(rect.left(), y);
        painter.drawPoint(rect.right(), y);
    }
}

} // namespace

const ButtonKindInfo& buttonKindInfo(ButtonKind kind)
{
    return kKinds[std::size_t(kind)];
}

QImage buttonKindGlyph(ButtonKind kind)
{
    static std::array<QImage, kKinds.size()> glyphs;
    static std::array<bool, kKinds.size()> loaded {};
    const auto i = std::size_t(kind);
    if (kind == bkCustom)
        return {};
    if (!loaded[i]) {
        glyphs[i]
            = QImage(QStringLiteral(":/glyphs/") + QLatin1String(kKinds[i].glyphResource) + QStringLiteral(".bmp"));
        loaded[i] = true;
    }
    return glyphs[i];
}

int dialogResultFor(int modalResult)
{
    switch (modalResult) {
    case mrOk:
        return QDialog::Accepted;
    case mrCancel:
        return QDialog::Rejected;
    default:
        return modalResult;
    }
}

GlyphLayout layoutGlyphAndText(
    QSize client, QSize glyph, QSize text, ButtonLayout layout, int margin, int spacing, bool rightToLeft)
{
    if (rightToLeft && layout == blGlyphLeft)
        layout = blGlyphRight;
    else if (rightToLeft && layout == blGlyphRight)
        layout = blGlyphLeft;
    const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;

    GlyphLayout result;
    QPoint textPos;
    // Across the layout both are centred on their own.
    if (horizontal) {
        result.glyph.setY((client.height() - glyph.height() + 1) / 2);
        textPos.setY((client.height() - text.height() + 1) / 2);
    } else {
        result.glyph.setX((client.width() - glyph.width() + 1) / 2);
        textPos.setX((client.width() - text.width() + 1) / 2);
    }
    if (text.width() == 0 || glyph.width() == 0)
        spacing = 0;

    const int s = horizontal ? client.width() : client.height();
    const int g = horizontal ? glyph.width() : glyph.height();
    const int t = horizontal ? text.width() : text.height();
    if (margin == -1 && spacing == -1) {
        margin = (s - g - t) / 3;
        spacing = margin;
    } else if (margin == -1) {
        margin = (s - (g + spacing + t) + 1) / 2;
    } else if (spacing == -1) {
        spacing = (s - (margin + g) - t) / 2;
    }

    int glyphAlong = 0;
    int textAlong = 0;
    if (layout == blGlyphLeft || layout == blGlyphTop) {
        glyphAlong = margin;
        textAlong = glyphAlong + g + spacing;
    } else {
        glyphAlong = s - margin - g;
        textAlong = glyphAlong - spacing - t;
    }
    if (horizontal) {
        result.glyph.setX(glyphAlong);
        textPos.setX(textAlong);
    } else {
        result.glyph.setY(glyphAlong);
        textPos.setY(textAlong);
    }
    result.text = QRect(textPos, text);
    result.margin = margin;
    result.spacing = spacing;
    return result;
}

int pushButtonThemeState(bool enabled, bool pressed, bool focusOrDefaultLook)
{
    if (pressed)
        return VisualThemes::PbsPressed;
    if (!enabled)
        return VisualThemes::PbsDisabled;
    // The active button keeps the normal state (1), not the "defaulted" one (5); the others get 0.
    return focusOrDefaultLook ? VisualThemes::PbsNormal : VisualThemes::PbsNone;
}

ButtonDrawPlan planButtonDrawing(const QRect& client, const ButtonPaintState& state)
{
    ButtonDrawPlan plan;
    plan.glyphState = !state.enabled ? bsDisabled : state.pressed ? bsDown : bsUp;
    QRect r = client;
    if (state.themed) {
        plan.themeState = pushButtonThemeState(state.enabled, state.pressed, state.defaultLook || state.hasFocus);
        plan.frameRect = r;
        if (state.pressed)
            r.adjust(1, 1, -1, -1);
    } else {
        if (state.defaultLook || state.hasFocus) {
            plan.windowFrame = true;
            r.adjust(1, 1, -1, -1);
        }
        plan.frameRect = r;
        // The flat pressed frame is one pixel wide, the raised frame two.
        r = state.pressed ? r.adjusted(1, 1, -1, -1) : r.adjusted(2, 2, -2, -2);
    }
    if (state.defaultLook)
        r = client.adjusted(1, 1, -1, -1);
    if (state.pressed)
        r.translate(1, 1);
    plan.contentRect = r;
    plan.focusRect = state.defaultLook && state.hasFocus;
    return plan;
}

// GlyphList

GlyphList::GlyphList(QSize imageSize)
    : m_size(imageSize)
{
}

int GlyphList::add(const QPixmap& image)
{
    const auto free = std::find(m_used.begin(), m_used.end(), false);
    const auto index = std::size_t(free - m_used.begin());
    if (free == m_used.end()) {
        m_images.emplace_back();
        m_used.push_back(false);
    }
    m_images[index] = image;
    m_used[index] = true;
    ++m_count;
    return int(index);
}

void GlyphList::remove(int index)
{
    if (index < 0 || index >= capacity() || !m_used[std::size_t(index)])
        return;
    m_used[std::size_t(index)] = false;
    m_images[std::size_t(index)] = QPixmap();
    --m_count;
}

QPixmap GlyphList::image(int index) const
{
    if (index < 0 || index >= capacity())
        return {};
    return m_images[std::size_t(index)];
}

// GlyphCache

GlyphList* GlyphCache::getList(QSize imageSize)
{
    for (const auto& list : m_lists) {
        if (list->imageSize() == imageSize)
            return list.get();
    }
    m_lists.push_back(std::make_unique<GlyphList>(imageSize));
    return m_lists.back().get();
}

void GlyphCache::returnList(GlyphList* list)
{
    if (!list || list->count() != 0)
        return;
    m_lists.erase(std::remove_if(m_lists.begin(), m_lists.end(), [list](const auto& l) { return l.get() == list; }),
        m_lists.end());
}

GlyphCache* GlyphCache::instance()
{
    return s_cache;
}

GlyphCache* GlyphCache::ensureInstance()
{
    if (!s_cache)
        s_cache = new GlyphCache;
    return s_cache;
}

void GlyphCache::releaseInstanceIfEmpty()
{
    if (s_cache && s_cache->empty()) {
        delete s_cache;
        s_cache = nullptr;
    }
}

// ButtonGlyph

ButtonGlyph::ButtonGlyph(QObject* parent)
    : QObject(parent)
{
    GlyphCache::ensureInstance();
}

ButtonGlyph::~ButtonGlyph()
{
    dropStateImages();
    GlyphCache::releaseInstanceIfEmpty();
}

void ButtonGlyph::setGlyph(const QImage& glyph)
{
    dropStateImages();
    m_glyph = glyph;
    if (glyph.height() > 0) {
        m_transparentColor = QColor(glyph.pixel(0, glyph.height() - 1));
        if (glyph.width() % glyph.height() == 0) {
            const int count = glyph.width() / glyph.height();
            m_numGlyphs = count <= 4 ? count : 1;
        }
    }
    Q_EMIT changed();
}

void ButtonGlyph::setNumGlyphs(int value)
{
    if (value < 1)
        return;
    value = std::min(value, 4);
    if (value == m_numGlyphs)
        return;
    dropStateImages();
    m_numGlyphs = value;
    Q_EMIT changed();
}

QSize ButtonGlyph::glyphSize() const
{
    if (m_glyph.isNull())
        return { 0, 0 };
    return { m_glyph.width() / m_numGlyphs, m_glyph.height() };
}

QPixmap ButtonGlyph::stateImage(ButtonState state, const QPalette& palette)
{
    const int index = makeStateImage(state, palette);
    return index < 0 || !m_glyphList ? QPixmap() : m_glyphList->image(index);
}

void ButtonGlyph::dropStateImages()
{
    for (int& index : m_indexes) {
        if (index != -1 && m_glyphList)
            m_glyphList->remove(index);
        index = -1;
    }
    if (m_glyphList) {
        if (GlyphCache* cache = GlyphCache::instance())
            cache->returnList(m_glyphList);
        m_glyphList = nullptr;
    }
}

int ButtonGlyph::makeStateImage(ButtonState state, const QPalette& palette)
{
    if (state == bsDown && m_numGlyphs < 3)
        state = bsUp;
    if (m_indexes[state] != -1)
        return m_indexes[state];
    const QSize size = glyphSize();
    if (size.isEmpty())
        return -1;
    if (!m_glyphList)
        m_glyphList = GlyphCache::ensureInstance()->getList(size);

    const int slot = int(state) < m_numGlyphs ? int(state) : 0;
    const QImage source
        = m_glyph.copy(slot * size.width(), 0, size.width(), size.height()).convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = m_transparentColor.rgb();
    QImage image;
    if (state != bsDisabled)
        image = masked(source, transparent);
    else if (m_numGlyphs >= 2)
        image = recolouredDisabled(source, transparent, palette);
    else
        image = embossed(source, transparent, palette);
    m_indexes[state] = m_glyphList->add(QPixmap::fromImage(image));
    return m_indexes[state];
}

// BitmapButton

BitmapButton::BitmapButton(QWidget* parent)
    : QPushButton(parent)
    , m_glyph(new ButtonGlyph(this))
{
    // First connection: the modal result reaches the dialog before any handler runs.
    connect(this, &QAbstractButton::clicked, this, &BitmapButton::Click);
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

ButtonKind BitmapButton::Kind() const
{
    if (m_kind != bkCustom) {
        const ButtonKindInfo& info = buttonKindInfo(m_kind);
        if (m_default != info.isDefault || m_cancel != info.isCancel || m_modalResult != info.modalResult
            || m_modifiedGlyph)
            m_kind = bkCustom;
    }
    return m_kind;
}

void BitmapButton::setKind(ButtonKind kind)
{
    // Compared with what Kind reads, so that a kind set again after a change restores its values.
    if (kind == Kind())
        return;
    if (kind != bkCustom) {
        const ButtonKindInfo& info = buttonKindInfo(kind);
        setDefault(info.isDefault);
        setCancel(info.isCancel);
        setText(QString::fromUtf16(info.caption));
        m_modalResult = info.modalResult;
        m_glyph->setGlyph(buttonKindGlyph(kind));
        m_glyph->setNumGlyphs(2);
        m_modifiedGlyph = false;
    }
    m_kind = kind;
    update();
}

QImage BitmapButton::Glyph() const
{
    return m_glyph->glyph();
}

void BitmapButton::setGlyph(const QImage& glyph)
{
    m_glyph->setGlyph(glyph);
    m_modifiedGlyph = true;
    update();
}

int BitmapButton::NumGlyphs() const
{
    return m_glyph->numGlyphs();
}

void BitmapButton::setNumGlyphs(int value)
{
    m_glyph->setNumGlyphs(value);
}

void BitmapButton::setLayout(ButtonLayout layout)
{
    if (layout != m_layout) {
        m_layout = layout;
        update();
    }
}

void BitmapButton::setMargin(int margin)
{
    if (margin != m_margin && margin >= -1) {
        m_margin = margin;
        update();
    }
}

void BitmapButton::setSpacing(int spacing)
{
    if (spacing != m_spacing) {
        m_spacing = spacing;
        update();
    }
}

void BitmapButton::setStyle(ButtonStyle style)
{
    if (style != m_style) {
        m_style = style;
        update();
    }
}

void BitmapButton::setDefault(bool value)
{
    m_default = value;
    QPushButton::setDefault(value);
    updateDefaultLook();
}

void BitmapButton::setCancel(bool value)
{
    m_cancel = value;
    watchWindow();
}

void BitmapButton::setHelpHandler(std::function<void(int)> handler)
{
    s_helpHandler = std::move(handler);
}

void BitmapButton::Click()
{
    switch (Kind()) {
    case bkHelp:
        for (const QWidget* w = this; w; w = w->parentWidget()) {
            const int context = w->property("helpContext").toInt();
            if (context != 0) {
                if (s_helpHandler)
                    s_helpHandler(context);
                return;
            }
        }
        break;
    case bkClose:
        if (QWidget* form = window(); form != this) {
            form->close();
            return;
        }
        break;
    default:
        break;
    }
    inheritedClick();
}

void BitmapButton::inheritedClick()
{
    const QPointer<BitmapButton> self(this);
    if (m_modalResult != mrNone) {
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
        Q_EMIT OnClick();
}

void BitmapButton::updateDefaultLook()
{
    const QWidget* focused = window()->focusWidget();
    const bool look = focused == this || (m_default && !qobject_cast<const QPushButton*>(focused));
    if (look != m_defaultLook) {
        m_defaultLook = look;
        update();
    }
}

void BitmapButton::watchWindow()
{
    QWidget* form = m_cancel ? window() : nullptr;
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
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier && m_cancel && isVisible()
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
        if (m_default)
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
    m_glyph->stateImage(isEnabled() ? bsUp : bsDisabled, palette());
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
    const QPalette& pal = palette();

    if (themed) {
        painter.fillRect(client, pal.button());
        VisualThemes::drawThemeBackground(
            *m_theme, painter, *this, VisualThemes::kBpPushButton, plan.themeState, plan.frameRect);
    } else {
        painter.setBrush(Qt::NoBrush);
        if (plan.windowFrame) {
            painter.setPen(pal.color(QPalette::Shadow));
            painter.drawRect(client.adjusted(0, 0, -1, -1));
        }
        if (isDown()) {
            painter.setPen(pal.color(QPalette::Dark));
            painter.setBrush(pal.button());
            painter.drawRect(plan.frameRect.adjusted(0, 0, -1, -1));
        } else {
            VisualThemes::drawClassicButtonFrame(painter, plan.frameRect, pal);
        }
    }

    painter.setFont(font());
    drawGlyphAndCaption(painter, plan.contentRect, plan.glyphState);
    if (plan.focusRect)
        drawDottedRect(painter, client.adjusted(4, 4, -4, -4), pal.color(QPalette::ButtonText));
}

void BitmapButton::drawGlyphAndCaption(QPainter& painter, const QRect& rect, ButtonState state)
{
    const int flags = Qt::TextShowMnemonic;
    const QString caption = text();
    const QSize textSize = caption.isEmpty() ? QSize(0, 0) : QFontMetrics(font()).size(flags, caption);
    const GlyphLayout layout = layoutGlyphAndText(rect.size(), m_glyph->glyphSize(), textSize, m_layout, m_margin,
        m_spacing, layoutDirection() == Qt::RightToLeft);

    const QPixmap image = m_glyph->stateImage(state, palette());
    if (!image.isNull())
        painter.drawPixmap(rect.topLeft() + layout.glyph, image);
    if (caption.isEmpty())
        return;
    const QRect textRect = layout.text.translated(rect.topLeft());
    const int align = flags | Qt::AlignCenter;
    if (state == bsDisabled) {
        painter.setPen(palette().color(QPalette::Light));
        painter.drawText(textRect.translated(1, 1), align, caption);
        painter.setPen(palette().color(QPalette::Dark));
    } else {
        painter.setPen(palette().color(QPalette::ButtonText));
    }
    painter.drawText(textRect, align, caption);
}
