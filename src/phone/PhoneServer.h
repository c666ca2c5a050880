#pragma once

#include <QElapsedTimer>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QUrl>

#include <chrono>
#include <memory>

class QTimer;

namespace korbana {

class PhoneRequests;
class ShoppingSource;

// Serves the shopping list to phones on the home network while sharing lasts: listening starts with start() and
// ends with stop(), the window or the time limit; each start makes a new token.
class PhoneServer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PhoneServer)

public:
    // The port tried first, so that a firewall rule can name it; another is taken when it is in use.
    static constexpr quint16 kPreferredPort = 47474;
    static constexpr int kMaxConnections = 24;
    // Headers and body of one request together; a connection sending more before a request is complete is cut.
    static constexpr qint64 kMaxRequestBytes = 32768;
    static constexpr std::chrono::hours kLifetime { 12 };

    explicit PhoneServer(ShoppingSource& source, QObject* parent = nullptr);
    ~PhoneServer() override;

    // Listens on these addresses (local network only; others are left out) with a fresh token. False, and
    // nothing listening, when no address could be bound.
    bool start(const QList<QHostAddress>& addresses, quint16 preferredPort = kPreferredPort);
    void stop();
    bool isRunning() const;

    quint16 port() const { return m_port; }
    QList<QHostAddress> addresses() const { return m_addresses; }
    // The page's address on host.
    QUrl pageUrl(const QHostAddress& host) const;
    // Devices that have the page open.
    int deviceCount() const;

    // How long sharing lasts once started.
    void setLifetime(std::chrono::milliseconds lifetime) { m_lifetime = lifetime; }

    // The machine's addresses on the home network (private IPv4 ranges, IPv6 unique local), never an outside one.
    static QList<QHostAddress> localNetworkAddresses();
    static bool isLocalNetworkAddress(const QHostAddress& address);

Q_SIGNALS:
    void stopped();
    void deviceCountChanged(int count);

private:
    class Endpoint;
    class GuardedTcpServer;
    friend class Endpoint;

    void checkDevices();

    ShoppingSource& m_source;
    std::unique_ptr<PhoneRequests> m_requests;
    Endpoint* m_endpoint = nullptr;
    QList<QHostAddress> m_addresses;
    quint16 m_port = 0;
    std::chrono::milliseconds m_lifetime = kLifetime;
    QTimer* m_endTimer = nullptr;
    QTimer* m_deviceTimer = nullptr;
    QElapsedTimer m_clock;
    int m_deviceCount = 0;
};

} // namespace korbana
