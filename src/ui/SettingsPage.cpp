// The settings page: the picture at its left, the print font and the page margins.
#include "SettingsPage.h"

#include "HeaderBar.h"
#include "SpinEdit.h"
#include "controls/BitmapButton.h"
#include "controls/Pictures.h"
#include "settings/StoredNames.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

namespace korbana {

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
    m_fontButton->setGeometry(216, 40 - 33, 113, 25);

    auto margin = [body](const QString& label, const char16_t* name, int y) {
        auto* l = new QLabel(label, body);
        l->move(216, y - 33 + 3);
        // Placed by hand beside the page's layout, so sized to their text here.
        l->adjustSize();
        auto* field = new SpinEdit(body);
        field->setObjectName(QString::fromUtf16(name));
        field->setDecimals(0);
        field->setRange(0, 50);
        field->setIncrement(1);
        field->setValue(15);
        field->setGeometry(296, y - 33, 89, 21);
        l->setBuddy(field);
        auto* unit = new QLabel(QStringLiteral("mm"), body);
        unit->move(392, y - 33 + 3);
        unit->adjustSize();
        return field;
    };
    m_leftMarginEdit = margin(QStringLiteral("Rand links:"), StoredNames::kLeftMargin, 72);
    m_topMarginEdit = margin(QStringLiteral("Rand oben::"), StoredNames::kTopMargin, 96);
    m_rightMarginEdit = margin(QStringLiteral("Rand rechts:"), StoredNames::kRightMargin, 120);
    m_bottomMarginEdit = margin(QStringLiteral("Rand unten:"), StoredNames::kBottomMargin, 144);

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
