#include "PhoneRequests.h"

#include "ShoppingSource.h"
#include "lists/ListTexts.h"
#include "print/ShoppingPrintout.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QUrlQuery>

#include <algorithm>

namespace korbana {

namespace {

const QByteArray kJson = QByteArrayLiteral("application/json; charset=utf-8");

PhoneReply reply(int status, const QByteArray& contentType = {}, const QByteArray& body = {})
{
    return { status, contentType, body };
}

PhoneReply error(int status)
{
    return reply(status, QByteArrayLiteral("text/plain; charset=utf-8"), QByteArray::number(status));
}

// Equal texts take the same time to compare whatever they hold, so the token cannot be guessed piece by piece.
bool sameSecret(QStringView a, const QByteArray& b)
{
    if (a.size() != b.size())
        return false;
    char16_t difference = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        difference |= a[i].unicode() ^ char16_t(static_cast<unsigned char>(b[i]));
    return difference == 0;
}

// Page identifiers: a few letters and digits, so that a client can never grow the table with long texts.
bool isClientId(const QString& id)
{
    return !id.isEmpty() && id.size() <= 32
        && std::all_of(id.cbegin(), id.cend(), [](QChar c) { return c.isLetterOrNumber() && c.unicode() < 128; });
}

} // namespace

QString ShoppingSource::entryKey(const QString& name, const QString& shop, int occurrence)
{
    // The unit separator stands in no text a user types, so different texts never give the same key.
    return name + QChar(0x1f) + shop + QChar(0x1f) + QString::number(occurrence);
}

PhoneRequests::PhoneRequests(ShoppingSource& source, const QByteArray& token)
    : m_source(source)
    , m_token(token)
{
    m_changes = QObject::connect(&source, &ShoppingSource::changed, [this] { ++m_version; });
}

PhoneRequests::~PhoneRequests()
{
    QObject::disconnect(m_changes);
}

QByteArray PhoneRequests::newToken()
{
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    return QByteArray(reinterpret_cast<const char*>(words), sizeof words)
        .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
}

QByteArray PhoneRequests::page()
{
    QFile file(QStringLiteral(":/phone/einkaufsliste.html"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool PhoneRequests::hasToken(const QString& path, QStringView& rest) const
{
    if (m_token.isEmpty() || !path.startsWith(u'/'))
        return false;
    const QStringView afterSlash = QStringView(path).mid(1);
    const qsizetype end = afterSlash.indexOf(u'/');
    if (!sameSecret(end < 0 ? afterSlash : afterSlash.left(end), m_token))
        return false;
    rest = end < 0 ? QStringView() : afterSlash.mid(end);
    return true;
}

PhoneReply PhoneRequests::handle(const PhoneRequest& request, qint64 nowMs)
{
    QStringView rest;
    if (!hasToken(request.path, rest))
        return reply(404);
    if (!takeRateToken(request.peer, nowMs))
        return error(429);

    const bool isGet = request.method == "GET";
    if (rest.isEmpty() || rest == u"/") {
        if (!isGet)
            return error(405);
        return reply(200, QByteArrayLiteral("text/html; charset=utf-8"), page());
    }
    if (rest == u"/state") {
        if (!isGet)
            return error(405);
        return state(request.query, nowMs);
    }
    if (rest == u"/ticks") {
        if (request.method != "POST")
            return error(405);
        return ticks(request);
    }
    return reply(404);
}

bool PhoneRequests::takeRateToken(const QString& peer, qint64 nowMs)
{
    auto it = m_buckets.find(peer);
    if (it == m_buckets.end()) {
        if (m_buckets.size() >= kMaxPeers) {
            // Forget the peers that have been quiet longest; a full table of busy peers refuses newcomers.
            for (auto old = m_buckets.begin(); old != m_buckets.end();)
                old = nowMs - old->lastMs > 60'000 ? m_buckets.erase(old) : std::next(old);
            if (m_buckets.size() >= kMaxPeers)
                return false;
        }
        it = m_buckets.insert(peer, Bucket { kBurst, nowMs });
    }
    Bucket& bucket = *it;
    const qint64 elapsed = std::max<qint64>(0, nowMs - bucket.lastMs);
    bucket.tokens = std::min(kBurst, bucket.tokens + double(elapsed) * kRefillPerSecond / 1000.0);
    bucket.lastMs = std::max(bucket.lastMs, nowMs);
    if (bucket.tokens < 1)
        return false;
    bucket.tokens -= 1;
    return true;
}

void PhoneRequests::noteDevice(const QString& client, qint64 nowMs)
{
    if (!isClientId(client))
        return;
    if (!m_devices.contains(client) && m_devices.size() >= kMaxPeers) {
        for (auto it = m_devices.begin(); it != m_devices.end();)
            it = nowMs - *it > kDeviceTimeoutMs ? m_devices.erase(it) : std::next(it);
        if (m_devices.size() >= kMaxPeers)
            return;
    }
    m_devices.insert(client, nowMs);
}

int PhoneRequests::deviceCount(qint64 nowMs) const
{
    return int(std::count_if(
        m_devices.cbegin(), m_devices.cend(), [nowMs](qint64 seen) { return nowMs - seen <= kDeviceTimeoutMs; }));
}

PhoneReply PhoneRequests::state(const QByteArray& query, qint64 nowMs)
{
    if (query.size() > 256)
        return error(414);
    const QUrlQuery items(QString::fromLatin1(query));
    noteDevice(items.queryItemValue(QStringLiteral("c")), nowMs);
    // The page asks with the version it shows; an unchanged list costs an empty answer.
    bool known = false;
    const quint64 since = items.queryItemValue(QStringLiteral("since")).toULongLong(&known);
    if (known && since == m_version)
        return reply(204);
    return reply(200, kJson, stateJson());
}

QByteArray PhoneRequests::stateJson()
{
    if (m_stateCacheVersion == m_version)
        return m_stateCache;

    const QString decimalSep = decimalSeparator();
    QJsonArray shops;
    QJsonObject shop;
    QJsonArray shopEntries;
    double shopSum = 0;
    double sum = 0;
    QString currency = QStringLiteral(" EUR");
    QString shopCurrency = currency;
    const auto closeShop = [&] {
        if (shopEntries.isEmpty())
            return;
        shop.insert(QStringLiteral("subtotal"), QString(amountText(shopSum, decimalSep) + shopCurrency));
        shop.insert(QStringLiteral("entries"), shopEntries);
        shops.append(shop);
        shopEntries = QJsonArray();
        shopSum = 0;
    };
    QString shopName;
    for (const PhoneEntry& entry : m_source.entries()) {
        if (shopEntries.isEmpty() || entry.shop != shopName) {
            closeShop();
            shopName = entry.shop;
            shop = QJsonObject { { QStringLiteral("name"), entry.shop } };
        }
        const RowAmounts amounts = ShoppingPrintout::readAmounts(entry.quantity, entry.price, decimalSep);
        shopSum += amounts.lineTotal;
        sum += amounts.lineTotal;
        // As on the printout, a sum carries the currency word of the entry read last.
        shopCurrency = amounts.currencySuffix.isEmpty() ? QStringLiteral(" EUR") : amounts.currencySuffix;
        currency = shopCurrency;
        shopEntries.append(QJsonObject { { QStringLiteral("key"), entry.key },
            { QStringLiteral("quantity"), entry.quantity }, { QStringLiteral("name"), entry.name },
            { QStringLiteral("price"), entry.price }, { QStringLiteral("ticked"), entry.ticked } });
    }
    closeShop();

    const QJsonObject root { { QStringLiteral("version"), QString::number(m_version) },
        { QStringLiteral("shops"), shops },
        { QStringLiteral("total"), QString(amountText(sum, decimalSep) + currency) } };
    m_stateCache = QJsonDocument(root).toJson(QJsonDocument::Compact);
    m_stateCacheVersion = m_version;
    return m_stateCache;
}

PhoneReply PhoneRequests::ticks(const PhoneRequest& request)
{
    if (request.body.size() > kMaxBodyBytes)
        return error(413);
    if (!request.contentType.trimmed().toLower().startsWith("application/json"))
        return error(415);

    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(request.body, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        return error(400);
    const QJsonValue list = document.object().value(QStringLiteral("ticks"));
    const QJsonArray ticks = list.toArray();
    if (!list.isArray() || ticks.size() > kMaxTicksPerRequest)
        return error(400);

    // Every tick is checked before the first is applied: a request is taken whole or not at all.
    QList<std::pair<QString, bool>> wanted;
    for (const auto& value : ticks) {
        const QJsonObject tick = value.toObject();
        const QJsonValue key = tick.value(QStringLiteral("key"));
        const QJsonValue ticked = tick.value(QStringLiteral("ticked"));
        if (!value.isObject() || !key.isString() || !ticked.isBool() || key.toString().size() > kMaxKeyLength)
            return error(400);
        wanted.append({ key.toString(), ticked.toBool() });
    }

    QJsonArray applied;
    QJsonArray notApplied;
    for (const auto& [key, ticked] : wanted)
        (m_source.setTicked(key, ticked) ? applied : notApplied).append(key);
    const QJsonObject answer { { QStringLiteral("applied"), applied }, { QStringLiteral("notApplied"), notApplied },
        { QStringLiteral("version"), QString::number(m_version) } };
    return reply(200, kJson, QJsonDocument(answer).toJson(QJsonDocument::Compact));
}

} // namespace korbana
