// The help window: pages, links between them and to outside addresses, back and forward, the search in the page;
// and the help's own pages: all reachable from the contents, every menu command described.
#include "ScriptedDialogs.h"
#include "ui/HelpWindow.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

namespace korbana {

namespace {

void writePage(const QString& path, const QString& html)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(html.toUtf8());
}

// Clicks the link whose text is linkText, where the page shows it.
bool clickLink(QTextBrowser* browser, const QString& linkText)
{
    const QTextCursor found = browser->document()->find(linkText);
    if (found.isNull())
        return false;
    QTextCursor inside(browser->document());
    inside.setPosition(found.selectionStart() + 1);
    const QPoint where = browser->cursorRect(inside).center();
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, Qt::NoModifier, where);
    return true;
}

// Calls take with the character format of every piece of text of a document.
template<class Take> void eachFormat(const QTextDocument& document, Take take)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            take(it.fragment().charFormat());
}

// The links of an HTML file, as the help window's document sees them.
QStringList linksOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QTextDocument document;
    document.setHtml(QString::fromUtf8(file.readAll()));
    QStringList links;
    eachFormat(document, [&](const QTextCharFormat& format) {
        if (format.isAnchor())
            links.append(format.anchorHref());
    });
    return links;
}

QString helpSource()
{
    return QStringLiteral(KORBANA_HELP_SOURCE);
}

} // namespace

class TestHelpWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString page(const QString& name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        writePage(page(QStringLiteral("index.htm")),
            QStringLiteral("<html><head><title>Inhalt</title></head><body><p>Suchwort oben.</p>"
                           "<p><a href=\"seite.htm\">Zur Seite</a> <a href=\"https://example.org/a\">Im Netz</a> "
                           "<a href=\"mailto:info@example.org\">Post</a> <a href=\"seite.htm#unten\">Ganz unten</a>"
                           "</p><p>Noch ein Suchwort.</p></body></html>"));
        writePage(page(QStringLiteral("seite.htm")),
            QStringLiteral("<html><head><title>Die Seite</title></head><body><p>Seitentext</p>"
                           "<p><a name=\"unten\">Unten</a> <a href=\"index.htm\">Inhalt</a></p></body></html>"));
    }

    void followsLinks_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("shownPage"); // file and fragment
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("openedOutside");
        QTest::newRow("another page") << "Zur Seite"
                                      << "seite.htm"
                                      << "korbana Hilfe - Die Seite" << QStringList();
        QTest::newRow("a place on another page") << "Ganz unten"
                                                 << "seite.htm#unten"
                                                 << "korbana Hilfe - Die Seite" << QStringList();
        QTest::newRow("web address") << "Im Netz"
                                     << "index.htm"
                                     << "korbana Hilfe - Inhalt" << QStringList { "https://example.org/a" };
        QTest::newRow("mail address") << "Post"
                                      << "index.htm"
                                      << "korbana Hilfe - Inhalt" << QStringList { "mailto:info@example.org" };
    }
    void followsLinks()
    {
        QFETCH(QString, link);
        ScriptedDialogs dialogs;
        HelpWindow help(dialogs);
        help.openContents(page(QStringLiteral("index.htm")));
        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        QVERIFY(clickLink(help.browser(), link));
        const QUrl shown = help.source();
        QTEST(shown.fileName() + (shown.hasFragment() ? u'#' + shown.fragment() : QString()), "shownPage");
        QTEST(help.windowTitle(), "title");
        QTEST(dialogs.openedUrls, "openedOutside");
    }

    void backForwardAndContents()
    {
        ScriptedDialogs dialogs;
        HelpWindow help(dialogs);
        help.openContents(page(QStringLiteral("index.htm")));
        help.show();
        auto* back = help.findChild<QAction*>(QStringLiteral("helpBackAction"));
        auto* forward = help.findChild<QAction*>(QStringLiteral("helpForwardAction"));
        auto* contents = help.findChild<QAction*>(QStringLiteral("helpContentsAction"));
        QVERIFY(back && forward && contents);
        QVERIFY(!back->isEnabled() && !forward->isEnabled());
        QVERIFY(clickLink(help.browser(), QStringLiteral("Zur Seite")));
        QCOMPARE(help.source().fileName(), QStringLiteral("seite.htm"));
        QVERIFY(back->isEnabled());
        back->trigger();
        QCOMPARE(help.source().fileName(), QStringLiteral("index.htm"));
        QVERIFY(forward->isEnabled());
        forward->trigger();
        QCOMPARE(help.source().fileName(), QStringLiteral("seite.htm"));
        contents->trigger();
        QCOMPARE(help.source().fileName(), QStringLiteral("index.htm"));
    }

    void findsInThePage_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("backward");
        QTest::addColumn<QList<bool>>("found"); // one search per entry
        QTest::addColumn<QString>("result"); // the text beside the field after the last one
        QTest::newRow("first, second, round to the first") << "suchwort" << false << QList<bool> { 1, 1, 1 } << "";
        QTest::newRow("backward from the top wraps") << "Suchwort" << true << QList<bool> { 1 } << "";
        QTest::newRow("nowhere") << "Käsekuchen" << false << QList<bool> { 0, 0 } << "Nicht gefunden";
        QTest::newRow("empty") << "" << false << QList<bool> { 0 } << "";
    }
    void findsInThePage()
    {
        QFETCH(QString, text);
        QFETCH(bool, backward);
        QFETCH(QList<bool>, found);
        ScriptedDialogs dialogs;
        HelpWindow help(dialogs);
        help.openContents(page(QStringLiteral("index.htm")));
        help.show();
        QApplication::setActiveWindow(&help);
        // Ctrl+F takes the keys to the find field.
        QTest::keySequence(&help, QKeySequence::Find);
        QCOMPARE(QApplication::focusWidget(), help.findField());
        help.findField()->setText(text);
        QList<int> places;
        for (bool expected : std::as_const(found)) {
            QCOMPARE(help.findInPage(backward), expected);
            if (expected) {
                QCOMPARE(help.browser()->textCursor().selectedText().toLower(), text.toLower());
                places.append(help.browser()->textCursor().selectionStart());
            }
        }
        if (places.size() == 3) {
            QVERIFY(places[1] > places[0]);
            QCOMPARE(places[2], places[0]);
        }
        QTEST(help.findChild<QLabel*>(QStringLiteral("helpFindResult"))->text(), "result");
    }

    void closesWithTheDesktopsKeys_data()
    {
        QTest::addColumn<QKeySequence>("key");
        QTest::addColumn<bool>("fromFindField");
        QTest::newRow("Escape in the page") << QKeySequence(Qt::Key_Escape) << false;
        QTest::newRow("Escape in the find field") << QKeySequence(Qt::Key_Escape) << true;
        QTest::newRow("Ctrl+W in the page") << QKeySequence(Qt::CTRL | Qt::Key_W) << false;
        QTest::newRow("Ctrl+W in the find field") << QKeySequence(Qt::CTRL | Qt::Key_W) << true;
    }
    void closesWithTheDesktopsKeys()
    {
        QFETCH(QKeySequence, key);
        QFETCH(bool, fromFindField);
        ScriptedDialogs dialogs;
        HelpWindow help(dialogs);
        help.openContents(page(QStringLiteral("index.htm")));
        help.show();
        QApplication::setActiveWindow(&help);
        QVERIFY(QTest::qWaitForWindowActive(&help));
        QWidget* target = fromFindField ? static_cast<QWidget*>(help.findField()) : help.browser();
        target->setFocus();
        QTest::keySequence(target, key);
        QTRY_VERIFY(!help.isVisible());
    }

    // The help's own pages: each one reachable from the contents page, no link to a page that is not there, and
    // the compiled help lists the same pages.
    void everyPageReachableFromTheContents()
    {
        const QDir dir(helpSource());
        QSet<QString> reached { QStringLiteral("index.htm") };
        QStringList queue { QStringLiteral("index.htm") };
        while (!queue.isEmpty()) {
            const QString current = queue.takeFirst();
            for (const QString& link : linksOf(dir.filePath(current))) {
                const QUrl url(link);
                if (!url.scheme().isEmpty() || url.path().isEmpty())
                    continue;
                const QString target = url.path();
                QVERIFY2(dir.exists(target), qPrintable(current + QStringLiteral(" links to ") + target));
                if (!reached.contains(target)) {
                    reached.insert(target);
                    queue.append(target);
                }
            }
        }
        const QStringList pages = dir.entryList({ QStringLiteral("*.htm") }, QDir::Files);
        QVERIFY(pages.size() > 5);
        for (const QString& name : pages) {
            QVERIFY2(reached.contains(name), qPrintable(name + QStringLiteral(" is reached from no page")));
            QFile contents(dir.filePath(QStringLiteral("korbana.hhc")));
            QVERIFY(contents.open(QIODevice::ReadOnly));
            QVERIFY2(contents.readAll().contains(name.toUtf8()),
                qPrintable(name + QStringLiteral(" is missing from the compiled help's contents")));
        }
    }

    // Every picture of the help's pages is beside them where the built program reads them, and the help window
    // reads it as a picture.
    void everyPictureShown()
    {
        const QDir dir(QStringLiteral(KORBANA_HELP_BUILT));
        const QStringList pages = dir.entryList({ QStringLiteral("*.htm") }, QDir::Files);
        QVERIFY(pages.size() > 5);
        ScriptedDialogs dialogs;
        HelpWindow help(dialogs);
        QStringList pictures;
        for (const QString& name : pages) {
            help.openContents(dir.filePath(name));
            eachFormat(*help.browser()->document(), [&](const QTextCharFormat& format) {
                if (!format.isImageFormat())
                    return;
                const QString picture = format.toImageFormat().name();
                const QVariant bytes = help.browser()->loadResource(QTextDocument::ImageResource, QUrl(picture));
                QVERIFY2(!QImage::fromData(bytes.toByteArray()).isNull(), qPrintable(name + u' ' + picture));
                pictures << picture;
            });
        }
        QVERIFY(pictures.contains(QStringLiteral("preisvergleich.png")));
    }

    // Every command of the menus is described in the help, under its menu text.
    void everyCommandDescribed()
    {
        QString allPages;
        const QDir dir(helpSource());
        for (const QString& name : dir.entryList({ QStringLiteral("*.htm") }, QDir::Files)) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QTextDocument document;
            document.setHtml(QString::fromUtf8(file.readAll()));
            allPages += document.toPlainText() + u'\n';
        }
        QTemporaryDir programDir;
        ScriptedDialogs dialogs;
        MainWindow form(dialogs, programDir.path());
        const QList<QAction*> menus = form.menuBar()->actions();
        QVERIFY(!menus.isEmpty());
        for (QAction* menu : menus) {
            QVERIFY(menu->menu());
            for (QAction* command : menu->menu()->actions()) {
                if (command->isSeparator())
                    continue;
                const QString text = command->text().remove(u'&').remove(QStringLiteral("..."));
                QVERIFY2(allPages.contains(text), qPrintable(QStringLiteral("no help for ") + text));
                for (const QKeySequence& keys : command->shortcuts()) {
                    const QString written = keys.toString(QKeySequence::PortableText)
                                                .replace(QStringLiteral("Ctrl"), QStringLiteral("Strg"))
                                                .replace(QStringLiteral("Shift"), QStringLiteral("Umschalt"));
                    QVERIFY2(allPages.contains(written), qPrintable(QStringLiteral("no help for ") + written));
                }
            }
        }
    }
};

} // namespace korbana

QTEST_MAIN(korbana::TestHelpWindow)
#include "tst_helpwindow.moc"
