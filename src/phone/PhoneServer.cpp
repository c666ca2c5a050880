#include "PhoneServer.h"

#include "PhoneRequests.h"

#include <QAbstractHttpServer>
#include <QHash>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QNetworkInterface>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace korbana {

// Accepts connections up to a number, and cuts one that sends more than a request may hold.
class PhoneServer::GuardedTcpServer final : public QTcpServer
{
public:
    using QTcpServer::QTcpServer;

    void requestDone(QTcpSocket* socket)
    {
        if (auto it = m_received.find(socket); it != m_received.end())
            *it = 0;
    }

protected:
    void incomingConnection(qintptr handle) override
    {
        auto* socket = new QTcpSocket(this);
        if (!socket->setSocketDescriptor(handle) || m_received.size() >= kMaxConnections) {
            socket->abort();
            socket->deleteLater();
            return;
        }
        m_received.insert(socket, 0);
        // Connected before the HTTP server's own reader, so the bytes are counted before it takes them.
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { countBytes(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { m_received.remove(socket); });
        connect(socket, &QObject::destroyed, this, [this, socket] { m_received.remove(socket); });
        addPendingConnection(socket);
    }

private:
    void countBytes(QTcpSocket* socket)
    {
        qint64& received = m_received[socket];
        received += socket->bytesAvailable();
        if (received <= kMaxRequestBytes)
            return;
        socket->readAll();
        socket->write("HTTP/1.1 413 Payload Too Large\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
        socket->disconnectFromHost();
    }

    QHash<QTcpSocket*, qint64> m_received;
};

class PhoneServer::Endpoint final : public QAbstractHttpServer
{
public:
    Endpoint(PhoneServer& owner)
        : QAbstractHttpServer(&owner)
        , m_owner(owner)
    {
    }

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override
    {
        for (GuardedTcpServer* server : findChildren<GuardedTcpServer*>(Qt::FindDirectChildrenOnly))
            server->requestDone(socket);

        PhoneRequest phoneRequest;
        phoneRequest.method = methodName(request.method());
        phoneRequest.path = request.url().path();
        phoneRequest.query = request.url().query(QUrl::FullyEncoded).toLatin1();
        phoneRequest.contentType = request.value(QByteArrayLiteral("content-type"));
        phoneRequest.body = request.body();
        phoneRequest.peer = request.remoteAddress().toString();
        const PhoneReply reply = m_owner.m_requests->handle(phoneRequest, m_owner.m_clock.elapsed());

        QHttpServerResponder responder = makeResponder(request, socket);
        responder.writeStatusLine(static_cast<QHttpServerResponder::StatusCode>(reply.status));
        // The token is in the address: it must not travel on to anyone else, nor stay in a cache.
        responder.writeHeader(QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store"));
        responder.writeHeader(QByteArrayLiteral("Referrer-Policy"), QByteArrayLiteral("no-referrer"));
        responder.writeHeader(QByteArrayLiteral("X-Content-Type-Options"), QByteArrayLiteral("nosniff"));
        responder.writeHeader(QByteArrayLiteral("Content-Security-Policy"),
            QByteArrayLiteral("default-src 'none'; script-src 'unsafe-inline'; style-src 'unsafe-inline'; "
                              "connect-src 'self'; img-src data:; base-uri 'none'; form-action 'none'"));
        if (!reply.contentType.isEmpty())
            responder.writeHeader(QByteArrayLiteral("Content-Type"), reply.contentType);
        if (reply.status != 204)
            responder.writeHeader(QByteArrayLiteral("Content-Length"), QByteArray::number(reply.body.size()));
        if (reply.status == 429 || reply.status == 413)
            responder.writeHeader(QByteArrayLiteral("Connection"), QByteArrayLiteral("close"));
        if (reply.status == 204)
            responder.writeBody(QByteArray());
        else
            responder.writeBody(reply.body);
        if (reply.status == 429 || reply.status == 413)
            socket->disconnectFromHost();
        m_owner.checkDevices();
        return true;
    }

    void missingHandler(const QHttpServerRequest&, QTcpSocket*) override { }

private:
    static QByteArray methodName(QHttpServerRequest::Method method)
    {
        switch (method) {
        case QHttpServerRequest::Method::Get:
            return QByteArrayLiteral("GET");
        case QHttpServerRequest::Method::Post:
            return QByteArrayLiteral("POST");
        default:
            return QByteArrayLiteral("OTHER");
        }
    }

    PhoneServer& m_owner;
};

PhoneServer::PhoneServer(ShoppingSource& source, QObject* parent)
    : QObject(parent)
    , m_source(source)
    , m_endTimer(new QTimer(this))
    , m_deviceTimer(new QTimer(this))
{
    m_endTimer->setSingleShot(true);
    connect(m_endTimer, &QTimer::timeout, this, &PhoneServer::stop);
    // Only while devices are there: an idle window pays nothing for sharing.
    m_deviceTimer->setInterval(1000);
    connect(m_deviceTimer, &QTimer::timeout, this, &PhoneServer::checkDevices);
    m_clock.start();
}

PhoneServer::~PhoneServer()
{
    stop();
}

bool PhoneServer::isLocalNetworkAddress(const QHostAddress& address)
{
    if (address.isLoopback())
        return true;
    static const QList<QPair<QHostAddress, int>> kLocalNets = {
        QHostAddress::parseSubnet(QStringLiteral("10.0.0.0/8")),
        QHostAddress::parseSubnet(QStringLiteral("172.16.0.0/12")),
        QHostAddress::parseSubnet(QStringLiteral("192.168.0.0/16")),
        QHostAddress::parseSubnet(QStringLiteral("169.254.0.0/16")),
        QHostAddress::parseSubnet(QStringLiteral("fc00::/7")),
    };
    return std::any_of(kLocalNets.cbegin(), kLocalNets.cend(),
        [&address](const QPair<QHostAddress, int>& net) { return address.isInSubnet(net); });
}

QList<QHostAddress> PhoneServer::localNetworkAddresses()
{
    QList<QHostAddress> found;
    for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
        if (!address.isLoopback() && address.scopeId().isEmpty() && isLocalNetworkAddress(address))
            found.append(address);
    }
    return found;
}

bool PhoneServer::start(const QList<QHostAddress>& addresses, quint16 preferredPort)
{
    stop();
    m_requests = std::make_unique<PhoneRequests>(m_source, PhoneRequests::newToken());
    m_endpoint = new Endpoint(*this);
    for (const QHostAddress& address : addresses) {
        if (!isLocalNetworkAddress(address))
            continue;
        auto* tcp = new GuardedTcpServer(m_endpoint);
        tcp->setMaxPendingConnections(kMaxConnections);
        bool listening = tcp->listen(address, m_port != 0 ? m_port : preferredPort);
        if (!listening && m_port == 0)
            listening = tcp->listen(address, 0);
        if (!listening) {
            delete tcp;
            continue;
        }
        m_port = tcp->serverPort();
        m_endpoint->bind(tcp);
        m_addresses.append(address);
    }
    if (m_addresses.isEmpty()) {
        stop();
        return false;
    }
    m_endTimer->start(m_lifetime);
    return true;
}

void PhoneServer::stop()
{
    if (!m_endpoint)
        return;
    m_endTimer->stop();
    m_deviceTimer->stop();
    for (QTcpServer* tcp : m_endpoint->findChildren<QTcpServer*>(Qt::FindDirectChildrenOnly))
        tcp->close();
    delete m_endpoint;
    m_endpoint = nullptr;
    m_requests.reset();
    m_addresses.clear();
    m_port = 0;
    if (m_deviceCount != 0) {
        m_deviceCount = 0;
        Q_EMIT deviceCountChanged(0);
    }
    Q_EMIT stopped();
}

bool PhoneServer::isRunning() const
{
    return m_endpoint != nullptr;
}

QUrl PhoneServer::pageUrl(const QHostAddress& host) const
{
    if (!m_requests)
        return {};
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(host.toString());
    url.setPort(m_port);
    url.setPath(u'/' + QString::fromLatin1(m_requests->token()) + u'/');
    return url;
}

int PhoneServer::deviceCount() const
{
    return m_deviceCount;
}

void PhoneServer::checkDevices()
{
    const int count = m_requests ? m_requests->deviceCount(m_clock.elapsed()) : 0;
    if (count > 0 && !m_deviceTimer->isActive())
        m_deviceTimer->start();
    else if (count == 0)
        m_deviceTimer->stop();
    if (count != m_deviceCount) {
        m_deviceCount = count;
        Q_EMIT deviceCountChanged(count);
    }
}

} // namespace korbana
