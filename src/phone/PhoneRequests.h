#pragma once

#include <QByteArray>
#include <QHash>
#include <QMetaObject>
#include <QString>

namespace korbana {

class ShoppingSource;

// One request as it came over the network, before anything in it is trusted.
struct PhoneRequest
{
    QByteArray method;
    // The path, percent-decoding undone.
    QString path;
    // What follows the "?", still encoded.
    QByteArray query;
    QByteArray contentType;
    QByteArray body;
    // Whom the rate limit counts the request against.
    QString peer;
};

struct PhoneReply
{
    int status = 404;
    QByteArray contentType;
    QByteArray body;
};

// Everything the phone page may ask, answered without a socket: the page, the list's state, ticks. A request
// without the token is answered 404 and nothing else; the others are checked for rate, method, size and form,
// in that order, before anything is read or changed.
class PhoneRequests final
{
public:
    static constexpr qsizetype kMaxBodyBytes = 16384;
    static constexpr qsizetype kMaxTicksPerRequest = 500;
    static constexpr qsizetype kMaxKeyLength = 2048;
    // A page polls once a second; a burst of this many requests is allowed, then kRefillPerSecond a second.
    static constexpr double kBurst = 40;
    static constexpr double kRefillPerSecond = 10;
    static constexpr int kMaxPeers = 64;
    // A device counts as having the page open while it asked within this time.
    static constexpr qint64 kDeviceTimeoutMs = 5000;

    PhoneRequests(ShoppingSource& source, const QByteArray& token);
    ~PhoneRequests();
    Q_DISABLE_COPY_MOVE(PhoneRequests)

    // 128 random bits from the system's generator, URL-safe.
    static QByteArray newToken();
    QByteArray token() const { return m_token; }

    PhoneReply handle(const PhoneRequest& request, qint64 nowMs);

    // Devices that asked for the list's state lately.
    int deviceCount(qint64 nowMs) const;
    // Counts up with every change of the list.
    quint64 version() const { return m_version; }

    // The page as served (the state comes separately).
    static QByteArray page();

private:
    struct Bucket
    {
        double tokens = kBurst;
        qint64 lastMs = 0;
    };

    bool hasToken(const QString& path, QStringView& rest) const;
    bool takeRateToken(const QString& peer, qint64 nowMs);
    PhoneReply state(const QByteArray& query, qint64 nowMs);
    PhoneReply ticks(const PhoneRequest& request);
    void noteDevice(const QString& client, qint64 nowMs);
    QByteArray stateJson();

    ShoppingSource& m_source;
    QByteArray m_token;
    QMetaObject::Connection m_changes;
    quint64 m_version = 1;
    QByteArray m_stateCache;
    quint64 m_stateCacheVersion = 0;
    QHash<QString, Bucket> m_buckets;
    QHash<QString, qint64> m_devices;
};

} // namespace korbana
