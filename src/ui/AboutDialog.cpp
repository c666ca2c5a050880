#include "AboutDialog.h"

#include "Dialogs.h"
#include "HeaderBar.h"
#include "JpegPicture.h"
#include "controls/BitmapButton.h"
#include "controls/Pictures.h"

#include <QDate>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>

namespace korbana {

namespace {

QLabel* label(QWidget* parent, const char* name, const QString& text, const QRect& geometry)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(geometry);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QImage aboutPicture()
{
    QFile file(QStringLiteral(":/about/ProgramIcon.jpg"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return decodeJpeg(file.readAll());
}

} // namespace

AboutDialog::AboutDialog(Dialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(QStringLiteral("Info"));
    setFixedSize(664, 453);
    // Where MS Sans Serif and Arial Narrow are missing, fonts of their widths keep the texts in their places.
    QFont dialogFont;
    dialogFont.setFamilies(
        { QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial") });
    dialogFont.setPixelSize(11);
    setFont(dialogFont);

    auto* panel = new HeaderBar(QString(), 385, this);
    panel->setObjectName(QStringLiteral("aboutPanel"));
    panel->setFont(dialogFont);
    panel->setGeometry(8, 8, 649, 385);

    // Decoded when the box is first shown: most runs never show it.
    m_picture = label(panel, "picture", QString(), QRect(16, 40, 306, 322));
    m_picture->setScaledContents(true);

    QLabel* productName
        = label(panel, "productName", QStringLiteral("Ein echtes Produkt von TALVEN"), QRect(8, 8, 406, 27));
    QFont headline;
    headline.setFamilies({ QStringLiteral("Arial Narrow"), QStringLiteral("Liberation Sans Narrow"),
        QStringLiteral("DejaVu Sans Condensed") });
    headline.setPixelSize(24);
    headline.setBold(true);
    productName->setFont(headline);
    QPalette black = productName->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    productName->setPalette(black);

    m_copyright = label(
        panel, "copyright", QStringLiteral("Copyright © XXXX TALVEN. Lizenz: GNU GPL 3+."), QRect(336, 40, 283, 13));

    QLabel* comments = label(panel, "comments",
        QStringLiteral("Dieses Programm ist eine Softwareproduktion von TALVEN (") + QString::fromUtf16(kMail)
            + QStringLiteral(")."),
        QRect(336, 56, 257, 33));
    comments->setWordWrap(true);

    QLabel* trust = label(
        panel, "trust", QStringLiteral("Vertrauen Sie auf deutsche Qualität bei Software."), QRect(336, 96, 283, 13));
    QFont bold = dialogFont;
    bold.setBold(true);
    trust->setFont(bold);

    label(panel, "since", QStringLiteral("Seit 1996 Software aus Deutschland."), QRect(336, 112, 238, 13));

    QLabel* website = label(panel, "website",
        QStringLiteral("Viele weitere deutschsprachige Programme finden Sie auf unserer Website:\n")
            + QString::fromUtf16(kWebAddress)
            + QStringLiteral("\nBleiben Sie deutscher Software treu. Unterstützen Sie eine deutsche Softwarefirma."),
        QRect(336, 128, 238, 121));
    website->setWordWrap(true);

    auto* webButton = new BitmapButton(panel);
    webButton->setObjectName(QStringLiteral("webButton"));
    webButton->setGeometry(336, 240, 169, 25);
    webButton->setText(QString::fromUtf16(kWebAddress));
    webButton->setGlyph(Pictures::read(QStringLiteral(":/glyphs/WEBBTN.bmp"), "bmp"));
    webButton->setNumGlyphs(2);
    connect(webButton, &BitmapButton::activated, this, &AboutDialog::openWebsite);

    auto* okButton = new BitmapButton(this);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setGeometry(241, 404, 181, 37);
    okButton->setKind(ButtonKind::Ok);
    setTabOrder(webButton, okButton);
    // The first tab stop, not the default button, has the focus when the box opens.
    webButton->setFocus();

    // The year of the program's start goes into the ownership line.
    m_copyright->setText(withYear(m_copyright->text(), QDate::currentDate().year()));
}

QString AboutDialog::withYear(const QString& caption, int year)
{
    QString result = caption;
    const qsizetype at = result.indexOf(QStringLiteral("XXXX"));
    if (at >= 0)
        result.replace(at, 4, QString::number(year));
    return result;
}

QString AboutDialog::copyrightText() const
{
    return m_copyright->text();
}

void AboutDialog::openWebsite()
{
    m_dialogs.openUrl(QString::fromUtf16(kWebAddress));
}

void AboutDialog::showEvent(QShowEvent* event)
{
    if (m_picture->pixmap().isNull()) {
        const QImage picture = aboutPicture();
        m_picture->setPixmap(QPixmap::fromImage(picture));
        if (!picture.isNull())
            m_picture->resize(picture.size());
    }
    centreOnScreen(this);
    QDialog::showEvent(event);
}

void AboutDialog::keyPressEvent(QKeyEvent* event)
{
    // The box has no cancel button: only OK and the close box close it.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace korbana
