// Printing through the real QPrinter into PDF files, and the three print commands of the main window.
#include "FileSizeLimit.h"
#include "ScriptedDialogs.h"
#include "WindowWidgets.h"
#include "lists/ListModel.h"
#include "print/Printer.h"
#include "print/QPrinterCanvas.h"
#include "print/ShoppingPrintout.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"
#include "ui/SpinEdit.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QPalette>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <stdexcept>

using namespace korbana;

namespace {

// The text of a PDF as pdftotext reads it, lines kept as laid out; pages end in a form feed.
QString pdfText(const QString& path, const QStringList& options = { QStringLiteral("-layout") })
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), options + QStringList { path, QStringLiteral("-") });
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The left edge, in points, of the first word of the PDF that is exactly word.
double wordLeft(const QString& path, const QString& word)
{
    const QString html = pdfText(path, { QStringLiteral("-bbox") });
    const QRegularExpression re(QStringLiteral("<word xMin=\"([0-9.]+)\"[^>]*>") + QRegularExpression::escape(word)
        + QStringLiteral("</word>"));
    const QRegularExpressionMatch match = re.match(html);
    return match.hasMatch() ? match.captured(1).toDouble() : -1.0;
}

// Each text must come after the one before it.
bool inOrder(const QString& text, const QStringList& parts)
{
    qsizetype from = 0;
    for (const QString& part : parts) {
        const qsizetype at = text.indexOf(part, from);
        if (at < 0)
            return false;
        from = at + part.size();
    }
    return true;
}

QPrinter& pdfPrinter(const QString& fileName)
{
    QPrinter& printer = Printer::instance().printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(fileName);
    return printer;
}

} // namespace

// The PDF is read back with pdftotext from poppler-utils.
#define SKIP_WITHOUT_PDFTOTEXT()                                                                                       \
    do {                                                                                                               \
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())                                     \
            QSKIP("pdftotext (poppler-utils) is not installed");                                                       \
    } while (false)

class TestPrinting : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void realJobIntoPdf();
    void manyEntriesMakeSeveralPages();
    void previewShowsThePagesThatPrint();
    void cancelledPrintPrintsNothing();
    void leftMarginMovesTheText();
    void pdfMarginFromSheetEdge();
    void fontFaceWithoutItsStyle();
    void openJobRefusesPrintAndSetup();
    void errorDuringJobFreesThePrinter();
    void unwritableFileIsReported();
    void printerSetup();
    void inkOnPaper();
    void fontChosen();
    void fontCancelled();
    void fontDialogOpensOnTheFaceThatPrints();
    void fullDiskIsReported();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<MainWindow> m_form;
    QString m_pdf;
};

void TestPrinting::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TestPrinting::init()
{
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_pdf = m_dir->filePath(QStringLiteral("liste.pdf"));
    pdfPrinter(m_pdf);
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_form = std::make_unique<MainWindow>(*m_dialogs, m_dir->path());
    m_dialogs->messages.clear(); // no default list file in the folder
    m_form->shopping()->append(
        QStringLiteral("2"), { QStringLiteral("Milch"), QStringLiteral("Hofladen"), QStringLiteral("0,99 EUR") });
    m_form->shopping()->append(
        QStringLiteral("1"), { QStringLiteral("Brötchen"), QStringLiteral("Bäcker"), QStringLiteral("2,49 EUR") });
}

void TestPrinting::cleanup()
{
    m_form.reset();
    m_dialogs.reset();
    m_dir.reset();
}

void TestPrinting::realJobIntoPdf()
{
    SKIP_WITHOUT_PDFTOTEXT();
    m_dialogs->printAnswers = { true };
    m_form->printShoppingList();
    QCOMPARE(m_dialogs->printRequests, 1);
    QCOMPARE(m_dialogs->messages.size(), 0);
    QVERIFY(!Printer::instance().printing());

    const QString text = pdfText(m_pdf);
    QVERIFY2(
        inOrder(text,
            { QStringLiteral("Einkaufsliste"), QStringLiteral("2"), QStringLiteral("Milch"), QStringLiteral("Hofladen"),
                QStringLiteral("0,99 EUR"), QStringLiteral("1,98 EUR"), QStringLiteral("Brötchen"),
                QStringLiteral("Bäcker"), QStringLiteral("2,49 EUR"), QStringLiteral("Gesamtpreis in EUR: 4,47 EUR") }),
        qPrintable(text));
    QCOMPARE(text.count(u'\f'), 1);
}

void TestPrinting::manyEntriesMakeSeveralPages()
{
    SKIP_WITHOUT_PDFTOTEXT();
    ListModel list(
        { QStringLiteral("Menge"), QStringLiteral("Name"), QStringLiteral("Laden"), QStringLiteral("Preis") });
    for (int i = 0; i < 200; ++i)
        list.append(QStringLiteral("1"),
            { QStringLiteral("Artikel%1").arg(i), QStringLiteral("Markt"), QStringLiteral("1,00 EUR") });
    QPrinterCanvas canvas(Printer::instance());
    ShoppingPrintout(canvas, list, PrintMargins(), PrintFont()).run();

    const QString text = pdfText(m_pdf);
    QVERIFY(text.count(u'\f') > 1);
    // The heading stands on page 1 only.
    QCOMPARE(text.count(QStringLiteral("Einkaufsliste")), 1);
    QVERIFY(inOrder(text,
        { QStringLiteral("Artikel0"), QStringLiteral("Artikel199"),
            QStringLiteral("Gesamtpreis in EUR: 200,00 EUR") }));
}

void TestPrinting::previewShowsThePagesThatPrint()
{
    SKIP_WITHOUT_PDFTOTEXT();
    for (int i = 0; i < 150; ++i)
        m_form->shopping()->append(QStringLiteral("1"), { QStringLiteral("Artikel%1").arg(i) });
    topMarginEdit(*m_form)->setValue(50);
    // The preview writes no file, even with the printer set to one.
    m_form->previewShoppingList();
    QCOMPARE(m_dialogs->previewPages.size(), 1);
    QVERIFY(!QFile::exists(m_pdf));
    QCOMPARE(m_dialogs->messages.size(), 0);
    QVERIFY(!Printer::instance().printing());

    m_dialogs->printAnswers = { true };
    m_form->printShoppingList();
    const int printed = static_cast<int>(pdfText(m_pdf).count(u'\f'));
    QVERIFY(printed > 1);
    QCOMPARE(m_dialogs->previewPages.constFirst(), printed);
}

void TestPrinting::cancelledPrintPrintsNothing()
{
    m_dialogs->printAnswers = { false };
    m_form->printShoppingList();
    QCOMPARE(m_dialogs->printRequests, 1);
    QVERIFY(!QFile::exists(m_pdf));
    QCOMPARE(m_dialogs->messages.size(), 0);
    // The dialog offers the job's name for a PDF file.
    QCOMPARE(Printer::instance().printer().docName(), QStringLiteral("Einkaufsliste"));
}

void TestPrinting::leftMarginMovesTheText()
{
    SKIP_WITHOUT_PDFTOTEXT();
    leftMarginEdit(*m_form)->setValue(0);
    m_dialogs->printAnswers = { true, true };
    m_form->printShoppingList();
    const double atZero = wordLeft(m_pdf, QStringLiteral("Einkaufsliste"));

    leftMarginEdit(*m_form)->setValue(50);
    m_form->printShoppingList();
    const double atFifty = wordLeft(m_pdf, QStringLiteral("Einkaufsliste"));
    QVERIFY(atZero >= 0);
    // 50 mm are 141.7 points; the text is placed in whole dots at 1200 per inch.
    QVERIFY2(qAbs(atFifty - atZero - 50 * 72 / 25.4) < 0.5, qPrintable(QString::number(atFifty - atZero)));
}

void TestPrinting::pdfMarginFromSheetEdge()
{
    // A PDF has no unprintable edge: "Rand links" is the distance from the sheet's left edge.
    SKIP_WITHOUT_PDFTOTEXT();
    const int millimetres = 15;
    leftMarginEdit(*m_form)->setValue(millimetres);
    m_dialogs->printAnswers = { true };
    m_form->printShoppingList();
    const double left = wordLeft(m_pdf, QStringLiteral("Einkaufsliste"));
    QVERIFY(left >= 0);
    QVERIFY2(qAbs(left - millimetres * 72 / 25.4) < 0.5, qPrintable(QString::number(left)));
}

void TestPrinting::fontFaceWithoutItsStyle()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdffonts")).isEmpty())
        QSKIP("pdffonts (poppler-utils) is not installed");
    PrintFont font;
    font.name = QStringLiteral("DejaVu Serif");
    font.setSize(14);
    font.bold = true;
    font.italic = true;
    font.underline = true;
    m_form->setPrintFont(font);
    m_dialogs->printAnswers = { true };
    m_form->printShoppingList();

    QProcess process;
    process.start(QStringLiteral("pdffonts"), { m_pdf });
    QVERIFY(process.waitForFinished(60000));
    const QString fonts = QString::fromUtf8(process.readAllStandardOutput());
    // The bold heading and the plain rows; the italic never reaches the paper.
    QVERIFY2(fonts.contains(QStringLiteral("DejaVuSerif-Bold ")), qPrintable(fonts));
    QVERIFY2(fonts.contains(QStringLiteral("DejaVuSerif ")), qPrintable(fonts));
    QVERIFY2(!fonts.contains(QStringLiteral("Italic")), qPrintable(fonts));
}

void TestPrinting::openJobRefusesPrintAndSetup()
{
    {
        QPrinterCanvas open(Printer::instance());
        open.beginJob(QStringLiteral("Einkaufsliste"));
        m_dialogs->printAnswers = { true };
        m_form->printShoppingList();
        m_form->setUpPrinter();
        QCOMPARE(m_dialogs->printRequests, 0);
        QCOMPARE(m_dialogs->setupRequests, 0);
        QCOMPARE(m_dialogs->texts(),
            QStringList({ QStringLiteral("Das Drucken ist im Gang."), QStringLiteral("Das Drucken ist im Gang.") }));
        const ScriptedDialogs::Message& report = m_dialogs->messages.front();
        QCOMPARE(report.title, QStringLiteral("Einkaufsliste 1.2"));
        QCOMPARE(report.icon, QMessageBox::Critical);
        QCOMPARE(report.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        open.endJob();
    }
    m_form->printShoppingList();
    QCOMPARE(m_dialogs->printRequests, 1);
    QCOMPARE(m_dialogs->messages.size(), 2);
}

void TestPrinting::errorDuringJobFreesThePrinter()
{
    SKIP_WITHOUT_PDFTOTEXT();
    try {
        QPrinterCanvas canvas(Printer::instance());
        canvas.beginJob(QStringLiteral("Einkaufsliste"));
        QVERIFY(Printer::instance().printing());
        throw std::runtime_error("unexpected");
    } catch (const std::runtime_error&) {
    }
    QVERIFY(!Printer::instance().printing());
    m_dialogs->printAnswers = { true };
    m_form->printShoppingList();
    QCOMPARE(m_dialogs->messages.size(), 0);
    QVERIFY(pdfText(m_pdf).contains(QStringLiteral("Gesamtpreis in EUR: 4,47 EUR")));
}

void TestPrinting::unwritableFileIsReported()
{
    pdfPrinter(m_dir->filePath(QStringLiteral("kein/ordner/liste.pdf")));
    m_dialogs->printAnswers = { true };
    m_form->printShoppingList();
    QCOMPARE(m_dialogs->texts(), QStringList { QStringLiteral("Der Druckauftrag konnte nicht begonnen werden.") });
    QVERIFY(!Printer::instance().printing());
}

void TestPrinting::printerSetup()
{
    m_dialogs->setupAnswers = { false };
    m_form->setUpPrinter();
    QCOMPARE(m_dialogs->setupRequests, 1);
    QCOMPARE(m_dialogs->messages.size(), 0);
    QCOMPARE(Printer::instance().printer().outputFileName(), m_pdf);
}

void TestPrinting::inkOnPaper()
{
    const QPalette saved = QGuiApplication::palette();
    QPalette dark = saved;
    dark.setColor(QPalette::WindowText, Qt::white);
    QGuiApplication::setPalette(dark);
    PrintFont font;
    const QColor systemInk = QPrinterCanvas::inkColour(font);
    font.color = 0x0000FF; // red, as the font dialog keeps colours (blue, green, red from the top)
    const QColor chosenInk = QPrinterCanvas::inkColour(font);
    QGuiApplication::setPalette(saved);

    QCOMPARE(systemInk, QColor(Qt::black));
    QCOMPARE(chosenInk, QColor(Qt::red));
}

void TestPrinting::fontChosen()
{
    QFont offered;
    m_dialogs->fontAnswers = { [&offered](QFont& font) {
        offered = font;
        font = QFont(QStringLiteral("DejaVu Serif"), 14);
        font.setBold(true);
        font.setUnderline(true);
        return true;
    } };
    const PrintFont before = m_form->printFont();
    m_form->choosePrintFont();

    QCOMPARE(m_dialogs->fontRequests, 1);
    QCOMPARE(offered.family(), QStringLiteral("Arial"));
    QCOMPARE(offered.pointSize(), 11);
    const PrintFont& after = m_form->printFont();
    QCOMPARE(after.name, QStringLiteral("DejaVu Serif"));
    QCOMPARE(after.size, 14);
    QCOMPARE(after.height, -19);
    QVERIFY(after.bold);
    QVERIFY(after.underline);
    QVERIFY(!after.italic);
    QCOMPARE(after.color, before.color);
}

void TestPrinting::fontCancelled()
{
    m_dialogs->fontAnswers = { [](QFont& font) {
        font = QFont(QStringLiteral("DejaVu Serif"), 20);
        return false;
    } };
    m_form->choosePrintFont();
    QCOMPARE(m_dialogs->fontRequests, 1);
    QCOMPARE(m_form->printFont().name, QStringLiteral("Arial"));
    QCOMPARE(m_form->printFont().size, 11);
    QCOMPARE(m_form->printFont().height, -15);
}

QTEST_MAIN(TestPrinting)
void TestPrinting::fontDialogOpensOnTheFaceThatPrints()
{
    const QString standIn = QFontInfo(QFont(QStringLiteral("Arial"))).family();
    if (QFontDatabase::hasFamily(QStringLiteral("Arial")) || standIn.isEmpty())
        QSKIP("needs a system where Arial is printed in another face");
    QString offered;
    // Answers the real font dialog unchanged, as a user who only looks.
    const auto answer = [&offered] {
        auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return false;
        offered = dialog->currentFont().family();
        dialog->accept();
        return true;
    };
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (answer())
            poll.stop();
    });
    poll.start(20);

    QtDialogs dialogs;
    QFont font(QStringLiteral("Arial"), 11);
    QVERIFY(dialogs.chooseFont(nullptr, font));
    QCOMPARE(offered, standIn);
    // Kept unchanged, the face keeps its own name.
    QCOMPARE(font.family(), QStringLiteral("Arial"));
    QCOMPARE(font.pointSize(), 11);
}

void TestPrinting::fullDiskIsReported()
{
    // A file size limit cuts the PDF short the way a full disk does.
    for (int i = 0; i < 300; ++i)
        m_form->shopping()->append(QStringLiteral("1"),
            { QStringLiteral("Artikel %1").arg(i), QStringLiteral("Markt"), QStringLiteral("1,00 EUR") });
    m_dialogs->printAnswers = { true };
    {
        const FileSizeLimit limit(4096);
        if (!limit.active())
            QSKIP("needs a file size limit");
        m_form->printShoppingList();
    }
    QCOMPARE(m_dialogs->texts(), QStringList { QStringLiteral("Konnte die Datei nicht vollständig schreiben.") });
    QCOMPARE(m_dialogs->messages.front().title, QStringLiteral("Einkaufsliste 1.2"));
    QVERIFY(!Printer::instance().printing());
}

#include "tst_printing.moc"
