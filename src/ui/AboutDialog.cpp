#include "AboutDialog.h"

#include "Dialogs.h"
#include "HeaderBar.h"
#include "JpegPicture.h"
#include "controls/BitmapButton.h"

#include <QDate>
#include <QFile>
#include <QLabel>

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
    setObjectName(QStringLiteral("TAboutBox"));
    setWindowTitle(QStringLiteral("Info"));
    setFixedSize(664, 453);
    // Where MS Sans Serif and Arial Narrow are missing, fonts of their widths keep the texts in their places.
    QFont dialogFont;
    dialogFont.setFamilies(
        { QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial") });
    dialogFont.setPixelSize(11);
    setFont(dialogFont);

    Panel1 = new HeaderBar(QString(), 385, this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFont(dialogFont);
    Panel1->setGeometry(8, 8, 649, 385);

    ProgramIcon = label(Panel1, "ProgramIcon", QString(), QRect(16, 40, 306, 322));
    const QImage picture = aboutPicture();
    ProgramIcon->setPixmap(QPixmap::fromImage(picture));
    ProgramIcon->setScaledContents(true);
    if (!picture.isNull())
        ProgramIcon->resize(picture.size());

    ProductName = label(Panel1, "ProductName", QStringLiteral("Ein echtes Produkt von TALVEN"), QRect(8, 8, 406, 27));
    QFont headline;
    headline.setFamilies({ QStringLiteral("Arial Narrow"), QStringLiteral("Liberation Sans Narrow"),
        QStringLiteral("DejaVu Sans Condensed") });
    headline.setPixelSize(24);
    headline.setBold(true);
    ProductName->setFont(headline);
    QPalette black = ProductName->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    ProductName->setPalette(black);

    Copyright = label(Panel1, "Copyright", QStringLiteral("Copyright © XXXX TALVEN. Alle Rechte vorbehalten."),
        QRect(336, 40, 283, 13));

    Comments = label(Panel1, "Comments",
        QStringLiteral("Dieses Programm ist eine Softwareproduktion von TALVEN (") + QString::fromUtf16(kMail)
            + QStringLiteral(")."),
        QRect(336, 56, 257, 33));
    Comments->setWordWrap(true);

    Label1 = label(
        Panel1, "Label1", QStringLiteral("Vertrauen Sie auf deutsche Qualität bei Software."), QRect(336, 96, 283, 13));
    QFont bold = dialogFont;
    bold.setBold(true);
    Label1->setFont(bold);

    Label2 = label(Panel1, "Label2", QStringLiteral("Seit 1996 Software aus Deutschland."), QRect(336, 112, 238, 13));

    Label3 = label(Panel1, "Label3",
        QStringLiteral("Viele weitere deutschsprachige Programme finden Sie auf unserer Website:\n")
            + QString::fromUtf16(kWebAddress)
            + QStringLiteral("\nBleiben Sie deutscher Software treu. Unterstützen Sie eine deutsche Softwarefirma."),
        QRect(336, 128, 238, 121));
    Label3->setWordWrap(true);

    BitBtnXP1 = new BitmapButton(Panel1);
    BitBtnXP1->setObjectName(QStringLiteral("BitBtnXP1"));
    BitBtnXP1->setGeometry(336, 240, 169, 25);
    BitBtnXP1->setText(QString::fromUtf16(kWebAddress));
    BitBtnXP1->setGlyph(QImage(QStringLiteral(":/glyphs/WEBBTN.bmp")));
    BitBtnXP1->setNumGlyphs(2);
    connect(BitBtnXP1, &BitmapButton::activated, this, &AboutDialog::BitBtnXP1Click);

    BitBtn1 = new BitmapButton(this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(241, 404, 181, 37);
    BitBtn1->setKind(ButtonKind::Ok);
    setTabOrder(BitBtnXP1, BitBtn1);
    // The first tab stop, not the default button, has the focus when the box opens.
    BitBtnXP1->setFocus();

    FormCreate();
}

QString AboutDialog::withYear(const QString& caption, int year)
{
    QString result = caption;
    const qsizetype at = result.indexOf(QStringLiteral("XXXX"));
    if (at >= 0)
        result.replace(at, 4, QString::number(year));
    return result;
}

void AboutDialog::FormCreate()
{
    Copyright->setText(withYear(Copyright->text(), QDate::currentDate().year()));
}

void AboutDialog::BitBtnXP1Click()
{
    m_dialogs.openUrl(QString::fromUtf16(kWebAddress));
}

void AboutDialog::showEvent(QShowEvent* event)
{
    centreOnScreen(this);
    QDialog::showEvent(event);
}
