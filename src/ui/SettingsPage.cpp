// The settings page: the picture at its left, the print font and the page margins.
#include "SettingsPage.h"

#include "HeaderBar.h"
#include "SpinEdit.h"
#include "controls/BitmapButton.h"
#include "controls/Pictures.h"
#include "settings/StoredNames.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

#include <vector>

namespace korbana {

namespace {

struct MarginRow
{
    QLabel* label;
    QWidget* field;
    QLabel* unit;
};

// The settings page's controls at their design positions, moved right and down only as far as a larger font or
// another style needs so that no text is cut.
class SettingsPlacement final : public QObject
{
public:
    SettingsPlacement(QWidget* body, QLabel* heading, QWidget* fontButton, std::vector<MarginRow> rows)
        : QObject(body)
        , m_body(body)
        , m_heading(heading)
        , m_fontButton(fontButton)
        , m_rows(std::move(rows))
    {
        body->installEventFilter(this);
    }

    // Design: the font button at 216, 40 (113 by 25); the margin rows at y 72, 96, 120 and 144, their labels at
    // x 216, the fields at x 296 (89 by 21), "mm" at x 392; all on the page below its 33 high header. The print
    // options that follow keep their distance below the last row.
    void place()
    {
        constexpr int kHeader = 33;
        constexpr int kLeft = 216;
        const QFontMetrics metrics(m_body->font());
        m_heading->adjustSize();

        const int buttonText = metrics.horizontalAdvance(QStringLiteral("Schriftart"));
        const QSize button = QSize(113, 25).expandedTo(QSize(buttonText + 40, metrics.height() + 10));
        m_fontButton->setGeometry(kLeft, 40 - kHeader, button.width(), button.height());

        int labelWidth = 0;
        for (const MarginRow& row : m_rows) {
            row.label->adjustSize();
            row.unit->adjustSize();
            labelWidth = std::max(labelWidth, row.label->width());
        }
        const int fieldX = std::max(296, kLeft + labelWidth + 4);
        const QSize field = QSize(89, 21).expandedTo(
            QSize(metrics.horizontalAdvance(QStringLiteral("50")) + 40, metrics.height() + 6));
        const int pitch = std::max(24, field.height() + 3);
        int y = std::max(72 - kHeader, m_fontButton->geometry().bottom() + 1 + 7);
        for (const MarginRow& row : m_rows) {
            row.field->setGeometry(fieldX, y, field.width(), field.height());
            const int labelY
                = row.label->height() + 3 <= field.height() ? y + 3 : y + (field.height() - row.label->height()) / 2;
            row.label->move(kLeft, labelY);
            row.unit->move(fieldX + field.width() + 7, labelY);
            y += pitch;
        }
        if (QWidget* below = m_body->findChild<QWidget*>(QStringLiteral("printOptionsGroup"))) {
            below->move(kLeft, std::max(176 - kHeader, y - pitch + field.height() + 11));
            below->adjustSize();
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Shown: the print options added after the margins are placed too.
        const QEvent::Type type = event->type();
        if (watched == m_body && (type == QEvent::FontChange || type == QEvent::StyleChange || type == QEvent::Show))
            place();
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget* m_body;
    QLabel* m_heading;
    QWidget* m_fontButton;
    std::vector<MarginRow> m_rows;
};

} // namespace

SettingsPage::SettingsPage(QTabWidget* pages, const QIcon& icon)
{
    setObjectName(QStringLiteral("settingsPage"));
    pages->addTab(this, icon, QStringLiteral("Einstellungen"));
    auto* pageLayout = new QVBoxLayout(this);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(0);

    auto* header = new HeaderBar(QString(), 33, this);
    header->setObjectName(QStringLiteral("settingsHeader"));
    auto* headerLabel = new QLabel(QStringLiteral("Einstellungen - Schriftart und Seitenränder ändern"), header);
    QFont bold = headerLabel->font();
    bold.setBold(true);
    headerLabel->setFont(bold);
    headerLabel->move(16, 10);
    pageLayout->addWidget(header);

    m_body = new QWidget(this);
    QWidget* body = m_body;
    pageLayout->addWidget(body, 1);
    auto* bodyLayout = new QHBoxLayout(body);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    bodyLayout->addWidget(buildPicture(pages, body));
    bodyLayout->addStretch(1);

    m_fontButton = new BitmapButton(body);
    m_fontButton->setObjectName(QStringLiteral("fontButton"));
    m_fontButton->setText(QStringLiteral("&Schriftart"));
    m_fontButton->setGlyph(Pictures::read(QStringLiteral(":/glyphs/FONTBTN.bmp"), "bmp"));
    m_fontButton->setToolTip(QStringLiteral("Schriftart für den Ausdruck ändern...."));
    std::vector<MarginRow> rows;
    auto margin = [body, &rows](const QString& label, const char16_t* name) {
        auto* field = new SpinEdit(body);
        field->setObjectName(QString::fromUtf16(name));
        field->setDecimals(0);
        field->setRange(0, 50);
        field->setIncrement(1);
        field->setValue(15);
        auto* l = new QLabel(label, body);
        l->setBuddy(field);
        rows.push_back({ l, field, new QLabel(QStringLiteral("mm"), body) });
        return field;
    };
    m_leftMarginEdit = margin(QStringLiteral("Rand links:"), StoredNames::kLeftMargin);
    m_topMarginEdit = margin(QStringLiteral("Rand oben::"), StoredNames::kTopMargin);
    m_rightMarginEdit = margin(QStringLiteral("Rand rechts:"), StoredNames::kRightMargin);
    m_bottomMarginEdit = margin(QStringLiteral("Rand unten:"), StoredNames::kBottomMargin);
    // Placed by hand beside the page's layout: again whenever the font or the style changes what the texts need.
    auto* placement = new SettingsPlacement(body, headerLabel, m_fontButton, std::move(rows));
    placement->place();

    setTabOrder(m_fontButton, m_leftMarginEdit);
    setTabOrder(m_leftMarginEdit, m_topMarginEdit);
    setTabOrder(m_topMarginEdit, m_rightMarginEdit);
    setTabOrder(m_rightMarginEdit, m_bottomMarginEdit);
}

// The green panel with the picture and its title, at the left of the settings page.
QWidget* SettingsPage::buildPicture(QTabWidget* pages, QWidget* parent)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(QStringLiteral("settingsPicturePanel"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setAutoFillBackground(true);
    QPalette green = panel->palette();
    green.setColor(QPalette::Window, QColor(192, 220, 192));
    panel->setPalette(green);
    // Left-aligned: the full height of the page below the header, 209 wide.
    panel->setFixedWidth(209);
    auto* pictureFrame = new QLabel(panel);
    pictureFrame->setObjectName(QStringLiteral("settingsPicture"));
    pictureFrame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pictureFrame->setGeometry(7, 7, 195, 284);
    pictureFrame->setScaledContents(true);
    auto* title = new QLabel(QStringLiteral("Einstellungen\nändern..."), pictureFrame);
    title->setObjectName(QStringLiteral("settingsTitle"));
    title->setGeometry(8, 8, 177, 73);
    title->setAutoFillBackground(true);
    QPalette titlePalette = title->palette();
    titlePalette.setColor(QPalette::Window, HeaderBar::headerColor());
    titlePalette.setColor(QPalette::WindowText, QColor(128, 0, 0));
    title->setPalette(titlePalette);
    title->setAlignment(Qt::AlignCenter);

    // The page starts hidden: its picture is decoded, and the title's font looked up, when it is first shown.
    connect(pages, &QTabWidget::currentChanged, pictureFrame, [pages, pictureFrame, title](int index) {
        if (!pages->widget(index)->isAncestorOf(pictureFrame) || !pictureFrame->pixmap().isNull())
            return;
        pictureFrame->setPixmap(
            QPixmap::fromImage(Pictures::read(QStringLiteral(":/pictures/einstellungen.gif"), "gif")));
        QFont font(QStringLiteral("Arial Black"));
        font.setPixelSize(19);
        // Where Arial Black is missing, the heaviest weight of the substitute keeps its look.
        font.setWeight(QFont::Black);
        title->setFont(font);
    });
    return panel;
}

} // namespace korbana
