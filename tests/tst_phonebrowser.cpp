// The phone's page in a real headless chromium on 127.0.0.1: the list shown, ticks both ways, ticks made
// offline, two pages at once, and a burst of requests that is refused while the event loop keeps going.
#include "BrowserSession.h"
#include "FakeShoppingSource.h"
#include "MainWindowFixture.h"

#include "document/ListDocument.h"
#include "phone/PhoneSharing.h"

#include "phone/PhoneRequests.h"
#include "phone/PhoneServer.h"

#include <QTest>

namespace {

QString quoted(const QString& text)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray { text }).toJson(QJsonDocument::Compact)).mid(1).chopped(1);
}

// The script that finds the button of the entry with key.
QString button(const QString& key)
{
    return QStringLiteral("Array.from(document.querySelectorAll('button.entry')).find(b => b.dataset.key === %1)")
        .arg(quoted(key));
}

} // namespace

class TestPhoneBrowser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void showsTheList();
    void tickReachesTheDesktop();
    void desktopChangeReachesThePage();
    void offlineTickArrivesLater();
    void tickForGoneEntryIsShown();
    void twoPagesSeeEachOther();
    void burstIsRefused();
    void tickInDocumentAndFile();
    void screenshot();

private:
    QString pageText() { return m_browser.run(QStringLiteral("return document.body.innerText;")).toString(); }
    bool ticked(const QString& key)
    {
        return m_browser.run(QStringLiteral("return %1.getAttribute('aria-pressed');").arg(button(key))).toString()
            == QLatin1String("true");
    }

    FakeShoppingSource m_source;
    PhoneServer m_server { m_source };
    BrowserSession m_browser;
    QUrl m_page;
};

void TestPhoneBrowser::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    m_source.add(QStringLiteral("2"), QStringLiteral("Brötchen"), QStringLiteral("Bäcker"), QStringLiteral("0,40 EUR"));
    m_source.add(QStringLiteral("1"), QStringLiteral("Kuchen"), QStringLiteral("Bäcker"), QStringLiteral("2,50 EUR"));
    m_source.add(QStringLiteral("3"), QStringLiteral("Milch"), QStringLiteral("Markt"), QStringLiteral("0,99 EUR"));
    QVERIFY(m_server.start({ QHostAddress(QHostAddress::LocalHost) }, 0));
    m_page = m_server.pageUrl(QHostAddress(QHostAddress::LocalHost));
    const QString problem = m_browser.start();
    if (!problem.isEmpty())
        QSKIP(qPrintable(problem));
    m_browser.open(m_page);
    QVERIFY(m_browser.waitFor(QStringLiteral("return !!document.body.dataset.version;")));
}

void TestPhoneBrowser::showsTheList()
{
    const QString text = pageText();
    // Shops in walk order, each with its subtotal, then the total.
    const qsizetype baker = text.indexOf(QStringLiteral("Bäcker"));
    const qsizetype market = text.indexOf(QStringLiteral("Markt"));
    QVERIFY2(baker >= 0 && market > baker, qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("3,30 EUR")));
    QVERIFY(text.contains(QStringLiteral("Summe: 6,27 EUR")));
    QVERIFY(text.contains(QStringLiteral("Verbunden")));
    // Every entry is a real button whose name says what it is.
    const QJsonArray names
        = m_browser
              .run(QStringLiteral("return Array.from(document.querySelectorAll('button.entry'))"
                                  ".map(b => b.getAttribute('aria-label') + '|' + b.getAttribute('aria-pressed')"
                                  " + '|' + b.offsetHeight);"))
              .toArray();
    QCOMPARE(names.size(), 3);
    QVERIFY(names[0].toString().startsWith(QStringLiteral("2 × Brötchen, 0,40 EUR|false|")));
    // Large enough for a thumb.
    QVERIFY(names[0].toString().section(u'|', 2).toInt() >= 44);
}

void TestPhoneBrowser::tickReachesTheDesktop()
{
    const QString bun = m_source.list[0].key;
    m_browser.run(button(bun) + QStringLiteral(".click();"));
    QTRY_VERIFY_WITH_TIMEOUT(m_source.list[0].ticked, 10'000);
    QVERIFY(ticked(bun));
    // A ticked entry goes to the end of its shop.
    QCOMPARE(m_browser
                 .run(QStringLiteral("return document.querySelectorAll('#shops ul')[0].lastElementChild"
                                     ".firstElementChild.dataset.key;"))
                 .toString(),
        bun);
    // A second tap unticks.
    m_browser.run(button(bun) + QStringLiteral(".click();"));
    QTRY_VERIFY_WITH_TIMEOUT(!m_source.list[0].ticked, 10'000);
}

void TestPhoneBrowser::desktopChangeReachesThePage()
{
    m_source.add(QStringLiteral("1"), QStringLiteral("Butter"), QStringLiteral("Markt"), QStringLiteral("1,79 EUR"));
    QVERIFY(m_browser.waitFor(QStringLiteral("return document.body.innerText.includes('Butter');"), 10'000));
    m_source.list[2].ticked = true;
    Q_EMIT m_source.changed();
    QVERIFY(m_browser.waitFor(
        QStringLiteral("return %1.getAttribute('aria-pressed') === 'true';").arg(button(m_source.list[2].key)),
        10'000));
}

void TestPhoneBrowser::offlineTickArrivesLater()
{
    if (!m_browser.setOffline(true))
        QSKIP(qPrintable(QStringLiteral("no network emulation: ") + m_browser.lastError()));
    QVERIFY(m_browser.waitFor(QStringLiteral("return document.getElementById('status').textContent"
                                             ".startsWith('Offline – Liste vom');"),
        15'000));
    const QString cake = m_source.list[1].key;
    m_browser.run(button(cake) + QStringLiteral(".click();"));
    QVERIFY(m_browser.waitFor(QStringLiteral("return document.body.dataset.pending === '1';")));
    QVERIFY(ticked(cake));
    BrowserSession::wait(1500);
    QVERIFY(!m_source.list[1].ticked);

    QVERIFY(m_browser.setOffline(false));
    QTRY_VERIFY_WITH_TIMEOUT(m_source.list[1].ticked, 15'000);
    QVERIFY(m_browser.waitFor(QStringLiteral("return document.body.dataset.pending === '0';")));
}

void TestPhoneBrowser::tickForGoneEntryIsShown()
{
    QVERIFY(m_browser.setOffline(true));
    QVERIFY(
        m_browser.waitFor(QStringLiteral("return document.getElementById('status').className === 'offline';"), 15'000));
    const QString butter = m_source.list.last().key;
    m_browser.run(button(butter) + QStringLiteral(".click();"));
    QVERIFY(m_browser.waitFor(QStringLiteral("return document.body.dataset.pending === '1';")));
    // Meanwhile the entry goes at the desktop.
    m_source.list.removeLast();
    Q_EMIT m_source.changed();
    QVERIFY(m_browser.setOffline(false));
    QVERIFY(m_browser.waitFor(QStringLiteral("return !document.getElementById('failed').hidden;"), 15'000));
    QVERIFY(m_browser.run(QStringLiteral("return document.getElementById('failedList').textContent;"))
                .toString()
                .contains(QStringLiteral("Butter")));
    QVERIFY(m_source.tickCalls.contains(butter + u'+'));
}

void TestPhoneBrowser::twoPagesSeeEachOther()
{
    const QString first = m_browser.currentTab();
    const QString second = m_browser.newTab();
    QVERIFY(!second.isEmpty());
    m_browser.switchTo(second);
    m_browser.open(m_page);
    QVERIFY(m_browser.waitFor(QStringLiteral("return !!document.body.dataset.version;")));
    QTRY_COMPARE_WITH_TIMEOUT(m_server.deviceCount(), 2, 10'000);
    // A tick made on the other page appears on this one.
    const QString milk = m_source.list[2].key;
    const bool was = m_source.list[2].ticked;
    m_browser.run(button(milk) + QStringLiteral(".click();"));
    QTRY_VERIFY_WITH_TIMEOUT(m_source.list[2].ticked != was, 10'000);
    m_browser.switchTo(first);
    QVERIFY(m_browser.waitFor(QStringLiteral("return %1.getAttribute('aria-pressed') === '%2';")
                                  .arg(button(milk), was ? QStringLiteral("false") : QStringLiteral("true")),
        10'000));
}

void TestPhoneBrowser::burstIsRefused()
{
    const QString curl = QStandardPaths::findExecutable(QStringLiteral("curl"));
    if (curl.isEmpty())
        QSKIP("curl is not installed");
    QStringList arguments { QStringLiteral("-s"), QStringLiteral("--parallel"), QStringLiteral("--parallel-max"),
        QStringLiteral("50"), QStringLiteral("-o"), QStringLiteral("/dev/null"), QStringLiteral("-w"),
        QStringLiteral("%{http_code}\\n") };
    const QString state = m_page.resolved(QUrl(QStringLiteral("state"))).toString();
    for (int i = 0; i < 1000; ++i)
        arguments << state;
    QProcess burst;
    burst.start(curl, arguments);
    QVERIFY(burst.waitForStarted());

    // The event loop keeps turning while the burst lasts.
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longestPause = 0;
    QTimer tick;
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout, &tick, [&] {
        longestPause = std::max(longestPause, clock.elapsed() - last);
        last = clock.elapsed();
    });
    tick.start();
    QTRY_VERIFY_WITH_TIMEOUT(burst.state() == QProcess::NotRunning, 60'000);
    tick.stop();
    const QStringList codes = QString::fromLatin1(burst.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(codes.size(), 1000);
    const qsizetype served = codes.count(QStringLiteral("200")) + codes.count(QStringLiteral("204"));
    qInfo("burst of 1000: %lld served, longest pause of the event loop %lld ms", qint64(served), longestPause);
    // The burst's own allowance and what refills while it lasts, no more.
    QVERIFY(served <= PhoneRequests::kBurst + PhoneRequests::kRefillPerSecond * (clock.elapsed() / 1000.0 + 1));
    QVERIFY(m_server.isRunning());
    QVERIFY(longestPause < 1000);
}

// The real window's document: a tick from the page is a step of its history, and the saved file keeps it.
void TestPhoneBrowser::tickInDocumentAndFile()
{
    MainWindowFixture fixture;
    const QByteArray list = sampleListFile();
    MainWindow& form = fixture.start(&list);
    ListDocument& document = *form.document();
    PhoneServer& server = form.phoneSharing()->server();
    QVERIFY(server.start({ QHostAddress(QHostAddress::LocalHost) }, 0));
    m_browser.open(server.pageUrl(QHostAddress(QHostAddress::LocalHost)));
    QVERIFY(m_browser.waitFor(QStringLiteral("return !!document.body.dataset.version;")));

    const QString bread = ShoppingSource::entryKey(QStringLiteral("Brot"), QStringLiteral("Bäcker"), 0);
    m_browser.run(button(bread) + QStringLiteral(".click();"));
    QTRY_VERIFY_WITH_TIMEOUT(document.isTicked(0), 10'000);
    // Undone at the desktop like a tick made there, and the page follows.
    document.undo();
    QVERIFY(!document.isTicked(0));
    QVERIFY(m_browser.waitFor(
        QStringLiteral("return %1.getAttribute('aria-pressed') === 'false';").arg(button(bread)), 10'000));
    document.redo();
    QVERIFY(document.isTicked(0));

    const QString path = fixture.path(QStringLiteral("korbana.kbl"));
    QCOMPARE(document.save(path), WriteResult::Ok);
    // The tick is a record of the block after the three lists, which name the entry by its texts.
    const QByteArray saved = MainWindowFixture::readFile(path);
    QVERIFY(saved.startsWith(sampleListFile()));
    QVERIFY(saved.contains("\r\n#korbana-extras 1\r\ntick\t"));
    QVERIFY(saved.contains("\tBrot\tB\xe4"
                           "cker\t"));
    m_browser.open(m_page);
}

// With KORBANA_PHONE_SCREENSHOT set to a file name: the picture of the page for the help and the README.
void TestPhoneBrowser::screenshot()
{
    const QString file = qEnvironmentVariable("KORBANA_PHONE_SCREENSHOT");
    if (file.isEmpty())
        QSKIP("KORBANA_PHONE_SCREENSHOT names no file");
    FakeShoppingSource source;
    const auto add = [&source](const char* quantity, const char* name, const char* shop, const char* price) {
        source.add(
            QString::fromUtf8(quantity), QString::fromUtf8(name), QString::fromUtf8(shop), QString::fromUtf8(price));
    };
    add("6", "Brötchen", "Bäckerei Korn", "0,45 EUR");
    add("1", "Vollkornbrot", "Bäckerei Korn", "3,20 EUR");
    add("2", "Milch", "Hofladen", "1,19 EUR");
    add("1", "Äpfel (1 kg)", "Hofladen", "2,49 EUR");
    add("10", "Eier", "Hofladen", "0,35 EUR");
    add("1", "Butter", "Supermarkt", "2,29 EUR");
    add("1", "Spülmittel", "Supermarkt", "1,45 EUR");
    source.list[2].ticked = true;
    source.list[0].ticked = true;
    PhoneServer server(source);
    QVERIFY(server.start({ QHostAddress(QHostAddress::LocalHost) }, 0));
    m_browser.open(server.pageUrl(QHostAddress(QHostAddress::LocalHost)));
    QVERIFY(m_browser.waitFor(QStringLiteral("return !!document.body.dataset.version;")));
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    QVERIFY(out.write(m_browser.screenshot()) > 0);
}

QTEST_MAIN(TestPhoneBrowser)
#include "tst_phonebrowser.moc"
