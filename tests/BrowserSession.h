#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>

// A headless chromium driven through chromedriver's WebDriver protocol (plain HTTP and JSON). Every wait keeps
// the event loop running, so that a server in this process answers the browser meanwhile.
class BrowserSession
{
public:
    BrowserSession() = default;
    BrowserSession(const BrowserSession&) = delete;
    BrowserSession& operator=(const BrowserSession&) = delete;

    ~BrowserSession()
    {
        if (!m_session.isEmpty())
            command(QByteArrayLiteral("DELETE"), QString(), {});
        if (m_driver.state() != QProcess::NotRunning) {
            m_driver.kill();
            m_driver.waitForFinished(5000);
        }
    }

    // Why there is no browser, or an empty text once it is ready. width × height is the window's size.
    QString start(int width = 412, int height = 915)
    {
        const QString driver = QStandardPaths::findExecutable(QStringLiteral("chromedriver"));
        const QString browser = QStandardPaths::findExecutable(QStringLiteral("chromium"));
        if (driver.isEmpty() || browser.isEmpty())
            return QStringLiteral("chromium or chromedriver is not installed");
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        m_base = QStringLiteral("http://127.0.0.1:%1").arg(probe.serverPort());
        const QString port = QString::number(probe.serverPort());
        probe.close();
        m_driver.start(driver, { QStringLiteral("--port=") + port });
        if (!m_driver.waitForStarted(10'000))
            return QStringLiteral("chromedriver does not start");
        QElapsedTimer clock;
        clock.start();
        while (!command(QByteArrayLiteral("GET"), QStringLiteral("/status"), {}).isObject()) {
            if (clock.elapsed() > 30'000)
                return QStringLiteral("chromedriver does not answer");
            wait(100);
        }
        const QJsonObject options { { QStringLiteral("binary"), browser },
            { QStringLiteral("args"),
                QJsonArray { QStringLiteral("--headless=new"), QStringLiteral("--no-sandbox"),
                    QStringLiteral("--disable-gpu"), QStringLiteral("--disable-dev-shm-usage"),
                    QStringLiteral("--no-first-run"), QStringLiteral("--user-data-dir=") + m_profile.path(),
                    QStringLiteral("--window-size=%1,%2").arg(width).arg(height) } } };
        const QJsonObject capabilities { { QStringLiteral("alwaysMatch"),
            QJsonObject { { QStringLiteral("browserName"), QStringLiteral("chrome") },
                { QStringLiteral("goog:chromeOptions"), options } } } };
        const QJsonValue session = command(QByteArrayLiteral("POST"), QStringLiteral("/session"),
            QJsonObject { { QStringLiteral("capabilities"), capabilities } });
        m_session = session.toObject().value(QStringLiteral("sessionId")).toString();
        return m_session.isEmpty() ? QStringLiteral("no browser session: ") + m_lastError : QString();
    }

    void open(const QUrl& url)
    {
        command(QByteArrayLiteral("POST"), QStringLiteral("/url"),
            QJsonObject { { QStringLiteral("url"), url.toString() } });
    }

    // Runs script (a function body; arguments[0]... are args) in the page and returns its result.
    QJsonValue run(const QString& script, const QJsonArray& args = {})
    {
        return command(QByteArrayLiteral("POST"), QStringLiteral("/execute/sync"),
            QJsonObject { { QStringLiteral("script"), script }, { QStringLiteral("args"), args } });
    }

    // Whether script comes to return true within timeoutMs.
    bool waitFor(const QString& script, int timeoutMs = 20'000)
    {
        QElapsedTimer clock;
        clock.start();
        while (!run(script).toBool()) {
            if (clock.elapsed() > timeoutMs)
                return false;
            wait(50);
        }
        return true;
    }

    // The browser as if the phone had lost its network, and back.
    bool setOffline(bool offline)
    {
        const QJsonObject conditions { { QStringLiteral("offline"), offline }, { QStringLiteral("latency"), 0 },
            { QStringLiteral("download_throughput"), 1'000'000 }, { QStringLiteral("upload_throughput"), 1'000'000 } };
        command(QByteArrayLiteral("POST"), QStringLiteral("/chromium/network_conditions"),
            QJsonObject { { QStringLiteral("network_conditions"), conditions } });
        return m_lastError.isEmpty();
    }

    // Opens a tab of its own (its own page storage, as on another phone) and returns its handle.
    QString newTab()
    {
        return command(QByteArrayLiteral("POST"), QStringLiteral("/window/new"),
            QJsonObject { { QStringLiteral("type"), QStringLiteral("tab") } })
            .toObject()
            .value(QStringLiteral("handle"))
            .toString();
    }
    QString currentTab() { return command(QByteArrayLiteral("GET"), QStringLiteral("/window"), {}).toString(); }
    void switchTo(const QString& tab)
    {
        command(
            QByteArrayLiteral("POST"), QStringLiteral("/window"), QJsonObject { { QStringLiteral("handle"), tab } });
    }

    QByteArray screenshot()
    {
        return QByteArray::fromBase64(
            command(QByteArrayLiteral("GET"), QStringLiteral("/screenshot"), {}).toString().toLatin1());
    }

    QString lastError() const { return m_lastError; }

    static void wait(int ms)
    {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }

private:
    QJsonValue command(const QByteArray& method, const QString& path, const QJsonObject& body)
    {
        const QString sessionPath = path == QLatin1String("/status") || path == QLatin1String("/session")
            ? path
            : QStringLiteral("/session/") + m_session + path;
        QNetworkRequest request(QUrl(m_base + sessionPath));
        request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/json"));
        request.setTransferTimeout(60'000);
        const QByteArray bytes = method == "GET" || method == "DELETE" ? QByteArray() : QJsonDocument(body).toJson();
        QNetworkReply* reply = m_network.sendCustomRequest(request, method, bytes);
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
        reply->deleteLater();
        const QJsonObject answer = QJsonDocument::fromJson(reply->readAll()).object();
        const QJsonValue value = answer.value(QStringLiteral("value"));
        m_lastError = reply->error() == QNetworkReply::NoError
            ? QString()
            : reply->errorString() + u' ' + value.toObject().value(QStringLiteral("message")).toString();
        if (path == QLatin1String("/session") && value.isObject())
            return value;
        return m_lastError.isEmpty() ? value : QJsonValue(QJsonValue::Undefined);
    }

    QProcess m_driver;
    QTemporaryDir m_profile;
    QNetworkAccessManager m_network;
    QString m_base;
    QString m_session;
    QString m_lastError;
};
