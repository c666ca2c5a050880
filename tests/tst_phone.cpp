// The shopping list on the phone: the requests the server answers, the server on real sockets, the dialog.
#include "FakeShoppingSource.h"
#include "MainWindowFixture.h"

#include "document/ListDocument.h"
#include "lists/ListModel.h"
#include "phone/DocumentShoppingSource.h"
#include "phone/PhoneDialog.h"
#include "phone/PhoneRequests.h"
#include "phone/PhoneServer.h"
#include "phone/PhoneSharing.h"
#include "phone/QrCode.h"

#include <QAction>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>
#include <QToolButton>

Q_DECLARE_METATYPE(korbana::PhoneRequest)

namespace {

const QByteArray kToken = QByteArrayLiteral("AAAAAAAAAAAAAAAAAAAAAA");
const QByteArray kJsonType = QByteArrayLiteral("application/json");

PhoneRequest get(const QString& path, const QByteArray& query = {})
{
    return { QByteArrayLiteral("GET"), path, query, {}, {}, QStringLiteral("127.0.0.1") };
}

PhoneRequest post(const QString& path, const QByteArray& body, const QByteArray& type = kJsonType)
{
    return { QByteArrayLiteral("POST"), path, {}, type, body, QStringLiteral("127.0.0.1") };
}

QString tokenPath(const QString& rest)
{
    return u'/' + QString::fromLatin1(kToken) + rest;
}

QByteArray tickBody(const QString& key, bool ticked)
{
    const QJsonObject tick { { QStringLiteral("key"), key }, { QStringLiteral("ticked"), ticked } };
    return QJsonDocument(QJsonObject { { QStringLiteral("ticks"), QJsonArray { tick } } }).toJson();
}

QJsonObject json(const PhoneReply& reply)
{
    return QJsonDocument::fromJson(reply.body).object();
}

// The lines of `ss` for the TCP ports this test program listens on.
QStringList ownListeners()
{
    QProcess ss;
    ss.start(QStringLiteral("ss"), { QStringLiteral("-Hltnp") });
    ss.waitForFinished(10'000);
    const QString pid = QStringLiteral("pid=%1,").arg(QCoreApplication::applicationPid());
    QStringList own;
    for (const QString& line : QString::fromLocal8Bit(ss.readAllStandardOutput()).split(u'\n')) {
        if (line.contains(pid))
            own.append(line.simplified());
    }
    return own;
}

bool listensOn(quint16 port)
{
    const QString local = u':' + QString::number(port) + u' ';
    const QStringList own = ownListeners();
    return std::any_of(own.cbegin(), own.cend(), [&local](const QString& line) { return line.contains(local); });
}

} // namespace

class TestPhone : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void refusals_data();
    void refusals();
    void rateLimit();
    void state();
    void stateGroupsAndSums();
    void ticks();
    void devices();
    void token();
    void qrCode();
    void documentSource();
    void serverOnSockets();
    void onlyLocalAddresses();
    void windowSharing();
};

void TestPhone::refusals_data()
{
    QTest::addColumn<PhoneRequest>("request");
    QTest::addColumn<int>("status");

    const QString otherToken = u'/' + QStringLiteral("AAAAAAAAAAAAAAAAAAAAAB");
    QTest::newRow("no token") << get(QStringLiteral("/")) << 404;
    QTest::newRow("nothing") << get(QString()) << 404;
    QTest::newRow("other token") << get(otherToken + u'/') << 404;
    QTest::newRow("token cut short") << get(tokenPath(QString()).chopped(1)) << 404;
    QTest::newRow("token too long") << get(tokenPath(QStringLiteral("A/"))) << 404;
    QTest::newRow("token later in the path") << get(QStringLiteral("/x") + tokenPath(QStringLiteral("/"))) << 404;
    QTest::newRow("other token ticks") << post(
        otherToken + QStringLiteral("/ticks"), tickBody(QStringLiteral("k"), true))
                                       << 404;
    QTest::newRow("a file") << get(tokenPath(QStringLiteral("/korbana.kbl"))) << 404;
    QTest::newRow("up a folder") << get(tokenPath(QStringLiteral("/../state"))) << 404;
    QTest::newRow("listing") << get(tokenPath(QStringLiteral("/state/"))) << 404;
    QTest::newRow("page by POST") << post(tokenPath(QStringLiteral("/")), "{}") << 405;
    QTest::newRow("state by POST") << post(tokenPath(QStringLiteral("/state")), "{}") << 405;
    QTest::newRow("ticks by GET") << get(tokenPath(QStringLiteral("/ticks"))) << 405;
    PhoneRequest put = post(tokenPath(QStringLiteral("/ticks")), tickBody(QStringLiteral("k"), true));
    put.method = "OTHER";
    QTest::newRow("ticks by another method") << put << 405;
    QTest::newRow("form instead of JSON")
        << post(tokenPath(QStringLiteral("/ticks")), "ticks=1", "application/x-www-form-urlencoded") << 415;
    QTest::newRow("oversized body") << post(
        tokenPath(QStringLiteral("/ticks")), QByteArray(PhoneRequests::kMaxBodyBytes + 1, ' ') + "{}")
                                    << 413;
    QTest::newRow("malformed JSON") << post(tokenPath(QStringLiteral("/ticks")), "{\"ticks\": [") << 400;
    QTest::newRow("not an object") << post(tokenPath(QStringLiteral("/ticks")), "[]") << 400;
    QTest::newRow("ticks not a list") << post(tokenPath(QStringLiteral("/ticks")), "{\"ticks\": {}}") << 400;
    QTest::newRow("key missing") << post(tokenPath(QStringLiteral("/ticks")), "{\"ticks\": [{\"ticked\": true}]}")
                                 << 400;
    QTest::newRow("tick not true or false")
        << post(tokenPath(QStringLiteral("/ticks")), "{\"ticks\": [{\"key\": \"k\", \"ticked\": 1}]}") << 400;
    // One bad tick among good ones: none of them is taken.
    QTest::newRow("one bad among good") << post(tokenPath(QStringLiteral("/ticks")),
        "{\"ticks\": [{\"key\": \"Brot\\u001fB\\u00e4cker\\u001f0\", \"ticked\": true}, {\"key\": 5, \"ticked\": "
        "true}]}") << 400;
    const QString longKey(PhoneRequests::kMaxKeyLength + 1, u'k');
    QTest::newRow("key too long") << post(tokenPath(QStringLiteral("/ticks")), tickBody(longKey, true)) << 400;
    QByteArray many = "{\"ticks\": [";
    for (int i = 0; i <= PhoneRequests::kMaxTicksPerRequest; ++i)
        many += QByteArray(i ? "," : "") + "{\"key\":\"k\",\"ticked\":true}";
    QTest::newRow("too many ticks") << post(tokenPath(QStringLiteral("/ticks")), many + "]}") << 400;
    QTest::newRow("query too long") << get(tokenPath(QStringLiteral("/state")), QByteArray(300, 'a')) << 414;
}

void TestPhone::refusals()
{
    QFETCH(PhoneRequest, request);
    QFETCH(int, status);
    FakeShoppingSource source;
    source.add(QStringLiteral("1"), QStringLiteral("Brot"), QStringLiteral("Bäcker"), QStringLiteral("1,99 EUR"));
    PhoneRequests requests(source, kToken);
    const quint64 version = requests.version();

    const PhoneReply reply = requests.handle(request, 1000);
    QCOMPARE(reply.status, status);
    // A request without the token learns nothing: not even a text.
    if (status == 404)
        QVERIFY(reply.body.isEmpty());
    QVERIFY(source.tickCalls.isEmpty());
    QVERIFY(!source.list.first().ticked);
    QCOMPARE(requests.version(), version);
}

void TestPhone::rateLimit()
{
    FakeShoppingSource source;
    PhoneRequests requests(source, kToken);
    int served = 0;
    int refused = 0;
    for (int i = 0; i < 1000; ++i) {
        const int status = requests.handle(get(tokenPath(QStringLiteral("/state"))), 5000).status;
        (status == 200 ? served : refused) += 1;
        QVERIFY(status == 200 || status == 429);
    }
    QCOMPARE(served, int(PhoneRequests::kBurst));
    QCOMPARE(refused, 1000 - served);
    // Without the token the answer stays 404, whatever the rate.
    QCOMPARE(requests.handle(get(QStringLiteral("/state")), 5000).status, 404);
    // Another device is not held up by the first.
    PhoneRequest other = get(tokenPath(QStringLiteral("/state")));
    other.peer = QStringLiteral("192.168.1.7");
    QCOMPARE(requests.handle(other, 5000).status, 200);
    // A second later the page's polling goes on.
    QCOMPARE(requests.handle(get(tokenPath(QStringLiteral("/state"))), 6000).status, 200);
}

void TestPhone::state()
{
    FakeShoppingSource source;
    source.add(QStringLiteral("2"), QStringLiteral("Milch"), QStringLiteral("Markt"), QStringLiteral("0,99 EUR"));
    PhoneRequests requests(source, kToken);

    const PhoneReply page = requests.handle(get(tokenPath(QStringLiteral("/"))), 0);
    QCOMPARE(page.status, 200);
    QVERIFY(page.body.startsWith("<!DOCTYPE html>"));
    QCOMPARE(requests.handle(get(tokenPath(QString())), 0).status, 200);

    const PhoneReply first = requests.handle(get(tokenPath(QStringLiteral("/state")), "since=0"), 0);
    QCOMPARE(first.status, 200);
    const QString version = json(first).value(QStringLiteral("version")).toString();
    // Asked again with the version it has, the page gets an empty answer until the list changes.
    const QByteArray since = "since=" + version.toLatin1();
    QCOMPARE(requests.handle(get(tokenPath(QStringLiteral("/state")), since), 0).status, 204);
    source.add(QStringLiteral("1"), QStringLiteral("Brot"), QStringLiteral("Bäcker"), QStringLiteral("1,99 EUR"));
    const PhoneReply changed = requests.handle(get(tokenPath(QStringLiteral("/state")), since), 0);
    QCOMPARE(changed.status, 200);
    QVERIFY(json(changed).value(QStringLiteral("version")).toString() != version);
}

void TestPhone::stateGroupsAndSums()
{
    FakeShoppingSource source;
    // In walk order: the Bäcker's entries, then the Markt's; a quantity that is no number counts 1.
    source.add(QStringLiteral("2"), QStringLiteral("Brötchen"), QStringLiteral("Bäcker"), QStringLiteral("0,40 EUR"));
    source.add(QStringLiteral("etwas"), QStringLiteral("Kuchen"), QStringLiteral("Bäcker"), QStringLiteral("2,50 EUR"));
    source.add(QStringLiteral("3"), QStringLiteral("Milch"), QStringLiteral("Markt"), QStringLiteral("0,99 EUR"));
    source.add(QStringLiteral("1"), QStringLiteral("Tüte"), QStringLiteral("Markt"), QStringLiteral("ca. 1 EUR"));
    PhoneRequests requests(source, kToken);
    const QJsonObject state = json(requests.handle(get(tokenPath(QStringLiteral("/state"))), 0));

    const QJsonArray shops = state.value(QStringLiteral("shops")).toArray();
    QCOMPARE(shops.size(), 2);
    QCOMPARE(shops[0].toObject().value(QStringLiteral("name")).toString(), QStringLiteral("Bäcker"));
    QCOMPARE(shops[0].toObject().value(QStringLiteral("subtotal")).toString(), QStringLiteral("3,30 EUR"));
    QCOMPARE(shops[1].toObject().value(QStringLiteral("subtotal")).toString(), QStringLiteral("2,97 EUR"));
    QCOMPARE(state.value(QStringLiteral("total")).toString(), QStringLiteral("6,27 EUR"));
    const QJsonObject milk = shops[1].toObject().value(QStringLiteral("entries")).toArray()[0].toObject();
    QCOMPARE(milk.value(QStringLiteral("quantity")).toString(), QStringLiteral("3"));
    QCOMPARE(milk.value(QStringLiteral("name")).toString(), QStringLiteral("Milch"));
    QCOMPARE(milk.value(QStringLiteral("price")).toString(), QStringLiteral("0,99 EUR"));
    QCOMPARE(milk.value(QStringLiteral("ticked")).toBool(), false);

    source.list.clear();
    Q_EMIT source.changed();
    const QJsonObject empty = json(requests.handle(get(tokenPath(QStringLiteral("/state"))), 0));
    QVERIFY(empty.value(QStringLiteral("shops")).toArray().isEmpty());
    QCOMPARE(empty.value(QStringLiteral("total")).toString(), QStringLiteral("0,00 EUR"));
}

void TestPhone::ticks()
{
    FakeShoppingSource source;
    source.add(QStringLiteral("1"), QStringLiteral("Brot"), QStringLiteral("Bäcker"), QStringLiteral("1,99 EUR"));
    PhoneRequests requests(source, kToken);
    const QString bread = source.list.first().key;
    const QString gone = ShoppingSource::entryKey(QStringLiteral("Käse"), QStringLiteral("Markt"), 0);

    const QByteArray body = QJsonDocument(
        QJsonObject { { QStringLiteral("ticks"),
            QJsonArray { QJsonObject { { QStringLiteral("key"), bread }, { QStringLiteral("ticked"), true } },
                QJsonObject { { QStringLiteral("key"), gone }, { QStringLiteral("ticked"), true } } } } })
                                .toJson();
    const PhoneReply reply = requests.handle(post(tokenPath(QStringLiteral("/ticks")), body), 0);
    QCOMPARE(reply.status, 200);
    QVERIFY(source.list.first().ticked);
    QCOMPARE(json(reply).value(QStringLiteral("applied")).toArray(), QJsonArray { bread });
    // A tick for an entry that is gone comes back as not applied, so that the page can say so.
    QCOMPARE(json(reply).value(QStringLiteral("notApplied")).toArray(), QJsonArray { gone });
    QCOMPARE(json(reply).value(QStringLiteral("version")).toString(), QString::number(requests.version()));

    QCOMPARE(requests.handle(post(tokenPath(QStringLiteral("/ticks")), tickBody(bread, false)), 0).status, 200);
    QVERIFY(!source.list.first().ticked);
    QCOMPARE(source.tickCalls, QStringList({ bread + u'+', gone + u'+', bread + u'-' }));
}

void TestPhone::devices()
{
    FakeShoppingSource source;
    PhoneRequests requests(source, kToken);
    QCOMPARE(requests.deviceCount(0), 0);
    requests.handle(get(tokenPath(QStringLiteral("/state")), "c=phone1"), 1000);
    requests.handle(get(tokenPath(QStringLiteral("/state")), "c=phone2"), 2000);
    requests.handle(get(tokenPath(QStringLiteral("/state")), "c=phone1"), 3000);
    // Identifiers that are no short plain word are not counted.
    requests.handle(get(tokenPath(QStringLiteral("/state")), "c=" + QByteArray(40, 'x')), 3000);
    requests.handle(get(tokenPath(QStringLiteral("/state")), "c=a%2Fb"), 3000);
    requests.handle(get(QStringLiteral("/state"), "c=phone3"), 3000);
    QCOMPARE(requests.deviceCount(3000), 2);
    QCOMPARE(requests.deviceCount(7500), 1);
    QCOMPARE(requests.deviceCount(9000), 0);
}

void TestPhone::token()
{
    QSet<QByteArray> tokens;
    for (int i = 0; i < 100; ++i) {
        const QByteArray token = PhoneRequests::newToken();
        QCOMPARE(QByteArray::fromBase64(token, QByteArray::Base64UrlEncoding).size(), 16);
        QVERIFY(!token.contains('/') && !token.contains('+') && !token.contains('='));
        tokens.insert(token);
    }
    QCOMPARE(tokens.size(), 100);
}

void TestPhone::qrCode()
{
    QVERIFY(qrCodeImage(QByteArray()).isNull());
    const QImage image = qrCodeImage("http://192.168.178.20:47474/AAAAAAAAAAAAAAAAAAAAAA/", 3);
    QVERIFY(!image.isNull());
    QCOMPARE(image.width(), image.height());
    // Versions have 21 + 4n modules a side; with the quiet zone of 4 on each side.
    const int modules = image.width() / 3 - 8;
    QCOMPARE((modules - 21) % 4, 0);
    // The quiet zone is white, the finder pattern's corner black.
    QCOMPARE(image.pixelIndex(0, 0), 0);
    QCOMPARE(image.pixelIndex(4 * 3, 4 * 3), 1);
}

void TestPhone::documentSource()
{
    ListDocument document;
    document.stores()->append(QStringLiteral("Markt"));
    document.stores()->append(QStringLiteral("Bäcker"));
    ListModel& shopping = *document.shopping();
    shopping.append(QStringLiteral("1"), { QStringLiteral("Brot"), QStringLiteral("Bäcker"), QStringLiteral("2 EUR") });
    shopping.append(QStringLiteral("2"), { QStringLiteral("Milch"), QStringLiteral("Markt"), QStringLiteral("1 EUR") });
    shopping.append(QStringLiteral("1"), { QStringLiteral("Kerze"), QStringLiteral("Basar"), QStringLiteral("3 EUR") });
    shopping.append(QStringLiteral("3"), { QStringLiteral("Brot"), QStringLiteral("Bäcker"), QStringLiteral("2 EUR") });
    DocumentShoppingSource source(document);
    QSignalSpy changes(&source, &ShoppingSource::changed);

    const QList<PhoneEntry> entries = source.entries();
    QStringList order;
    QStringList keys;
    for (const PhoneEntry& entry : entries) {
        order.append(entry.quantity + u' ' + entry.name + u' ' + entry.shop);
        keys.append(entry.key);
    }
    // Shops in the order of the shop list, a shop it lacks last; entries of a shop in list order.
    QCOMPARE(order,
        QStringList({ QStringLiteral("2 Milch Markt"), QStringLiteral("1 Brot Bäcker"), QStringLiteral("3 Brot Bäcker"),
            QStringLiteral("1 Kerze Basar") }));
    // Equal texts are told apart by their place among their equals.
    QCOMPARE(QSet<QString>(keys.cbegin(), keys.cend()).size(), 4);
    QCOMPARE(keys[1], ShoppingSource::entryKey(QStringLiteral("Brot"), QStringLiteral("Bäcker"), 0));
    QCOMPARE(keys[2], ShoppingSource::entryKey(QStringLiteral("Brot"), QStringLiteral("Bäcker"), 1));

    // A tick from the phone is the document's own tick, one step of its history; a key no entry has takes nothing.
    QVERIFY(source.setTicked(keys[2], true));
    QVERIFY(document.isTicked(3) && !document.isTicked(0));
    QVERIFY(source.entries()[2].ticked);
    QVERIFY(!source.setTicked(QStringLiteral("gone"), true));
    document.undo();
    QVERIFY(!document.isTicked(3));

    shopping.setCaption(1, QStringLiteral("5"));
    QVERIFY(changes.count() >= 1);
    // A quantity changed at the desktop leaves the entry's key as it was.
    QCOMPARE(source.entries().first().key, keys.first());
    const int before = changes.count();
    document.stores()->append(QStringLiteral("Basar"));
    QVERIFY(changes.count() > before);
}

void TestPhone::serverOnSockets()
{
    FakeShoppingSource source;
    source.add(QStringLiteral("1"), QStringLiteral("Brot"), QStringLiteral("Bäcker"), QStringLiteral("1,99 EUR"));
    PhoneServer server(source);
    QVERIFY(server.start({ QHostAddress(QHostAddress::LocalHost) }, 0));
    const quint16 port = server.port();
    QVERIFY(listensOn(port));
    const QUrl page = server.pageUrl(QHostAddress(QHostAddress::LocalHost));
    QVERIFY(page.path().size() >= 1 + 22 + 1);

    QNetworkAccessManager network;
    const auto fetch = [&network](const QUrl& url, const QByteArray& body = {}) {
        QNetworkRequest request(url);
        request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
        QNetworkReply* reply = body.isNull() ? network.get(request) : network.post(request, body);
        QSignalSpy done(reply, &QNetworkReply::finished);
        done.wait(10'000);
        reply->deleteLater();
        return std::make_pair(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll());
    };
    QCOMPARE(fetch(page).first, 200);
    QUrl wrong = page;
    wrong.setPath(QStringLiteral("/AAAAAAAAAAAAAAAAAAAAAA/"));
    const auto refused = fetch(wrong);
    QCOMPARE(refused.first, 404);
    QVERIFY(refused.second.isEmpty());
    QCOMPARE(fetch(page.resolved(QUrl(QStringLiteral("ticks"))), tickBody(source.list.first().key, true)).first, 200);
    QVERIFY(source.list.first().ticked);

    // A body far beyond any tick list is cut off before it is read whole.
    QTcpSocket raw;
    raw.connectToHost(QHostAddress::LocalHost, port);
    QVERIFY(raw.waitForConnected(5000));
    const QByteArray huge(1024 * 1024, 'x');
    raw.write("POST " + page.path().toLatin1()
        + "ticks HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: "
          "application/json\r\nContent-Length: "
        + QByteArray::number(huge.size()) + "\r\n\r\n" + huge);
    QTRY_VERIFY_WITH_TIMEOUT(raw.state() == QAbstractSocket::UnconnectedState || raw.bytesAvailable() > 0, 10'000);
    QVERIFY(raw.readAll().startsWith("HTTP/1.1 413"));
    QVERIFY(source.list.first().ticked);

    QSignalSpy stopped(&server, &PhoneServer::stopped);
    server.stop();
    QCOMPARE(stopped.count(), 1);
    QVERIFY(!server.isRunning());
    QCOMPARE(ownListeners(), QStringList());
    QTcpSocket late;
    late.connectToHost(QHostAddress::LocalHost, port);
    QVERIFY(!late.waitForConnected(2000));

    // Sharing ends by itself when its time is up.
    server.setLifetime(std::chrono::milliseconds(50));
    QVERIFY(server.start({ QHostAddress(QHostAddress::LocalHost) }, 0));
    QVERIFY(stopped.wait(5000));
    QVERIFY(!server.isRunning());
}

void TestPhone::onlyLocalAddresses()
{
    for (const char* address : { "127.0.0.1", "10.1.2.3", "172.20.0.5", "192.168.178.20", "169.254.3.4", "fd12::5" })
        QVERIFY2(PhoneServer::isLocalNetworkAddress(QHostAddress(QLatin1String(address))), address);
    for (const char* address : { "8.8.8.8", "172.32.0.1", "192.0.2.2", "100.64.0.1", "2001:db8::1", "0.0.0.0" })
        QVERIFY2(!PhoneServer::isLocalNetworkAddress(QHostAddress(QLatin1String(address))), address);
    for (const QHostAddress& address : PhoneServer::localNetworkAddresses())
        QVERIFY(PhoneServer::isLocalNetworkAddress(address) && !address.isLoopback());

    // An outside address is never listened on, even when asked for.
    FakeShoppingSource source;
    PhoneServer server(source);
    QVERIFY(!server.start({ QHostAddress(QStringLiteral("8.8.8.8")), QHostAddress(QHostAddress::AnyIPv4) }, 0));
    QVERIFY(!server.isRunning());
}

void TestPhone::windowSharing()
{
    MainWindowFixture fixture;
    const QByteArray list = sampleListFile();
    MainWindow& form = fixture.start(&list);
    PhoneSharing& sharing = *form.phoneSharing();
    PhoneServer& server = sharing.server();
    QVERIFY(!server.isRunning());
    // Nothing listens before the user shares.
    QCOMPARE(ownListeners(), QStringList());

    auto* fileMenu = form.findChild<QMenu*>(QStringLiteral("fileMenu"));
    auto* action = form.findChild<QAction*>(QStringLiteral("phoneAction"));
    // The menu shows the text with T as its letter.
    QCOMPARE(action->text(), QStringLiteral("Aufs &Telefon..."));
    const QList<QAction*> items = fileMenu->actions();
    QCOMPARE(items.indexOf(action), items.indexOf(form.findChild<QAction*>(QStringLiteral("csvImportAction"))) + 1);

    // Without a home network nothing starts, and the user is told why.
    sharing.setAddresses([] { return QList<QHostAddress>(); });
    action->trigger();
    QVERIFY(!server.isRunning());
    QCOMPARE(fixture.dialogs.messages.size(), 1);
    QCOMPARE(fixture.dialogs.messages.first().title, QStringLiteral("Aufs Telefon"));

    sharing.setAddresses([] { return QList<QHostAddress> { QHostAddress(QHostAddress::LocalHost) }; });
    QString address;
    bool hasCode = false;
    QString devices;
    fixture.dialogs.execAnswer = [&](QDialog* dialog) {
        address = dialog->findChild<QLabel*>(QStringLiteral("phoneAddress"))->text();
        hasCode = !dialog->findChild<QLabel*>(QStringLiteral("qrCode"))->pixmap().isNull();
        devices = dialog->findChild<QLabel*>(QStringLiteral("phoneDevices"))->text();
        return int(QDialog::Accepted);
    };
    form.findChild<QToolButton*>(QStringLiteral("phoneButton"))->click();
    QVERIFY(server.isRunning());
    QVERIFY(hasCode);
    QCOMPARE(devices, QStringLiteral("Geräte mit geöffneter Liste: 0"));
    QCOMPARE(address, server.pageUrl(QHostAddress(QHostAddress::LocalHost)).toString());
    QVERIFY(address.startsWith(QStringLiteral("http://127.0.0.1:")));

    // Shown again while sharing lasts, the dialog gives the same address; "Beenden" ends sharing.
    const QString first = address;
    fixture.dialogs.execAnswer = [&](QDialog* dialog) {
        address = dialog->findChild<QLabel*>(QStringLiteral("phoneAddress"))->text();
        return PhoneDialog::kEndSharing;
    };
    action->trigger();
    QCOMPARE(address, first);
    QVERIFY(!server.isRunning());

    // A new start has a new token; the window's end ends sharing.
    fixture.dialogs.execAnswer = [](QDialog*) { return int(QDialog::Rejected); };
    action->trigger();
    QVERIFY(server.isRunning());
    QVERIFY(server.pageUrl(QHostAddress(QHostAddress::LocalHost)).toString() != first);
    const quint16 port = server.port();
    QVERIFY(listensOn(port));
    fixture.form.reset();
    QCOMPARE(ownListeners(), QStringList());
}

QTEST_MAIN(TestPhone)
#include "tst_phone.moc"
