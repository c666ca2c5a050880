// The phone server's request handling on arbitrary requests: no crash, no leak, no runaway; a request without
// the token gets an empty 404, and a refused request changes nothing.
#include "FakeShoppingSource.h"
#include "phone/PhoneRequests.h"

#include <QLocale>

#include <cstdint>
#include <cstdlib>

namespace {

const QByteArray kToken = QByteArrayLiteral("fuzzfuzzfuzzfuzzfuzzfu");

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    return 0;
}

// The input: method, path, query, content type and body, separated by the first four line ends; a path starting
// with "~" stands for the token.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QList<QByteArray> parts = input.split('\n');
    while (parts.size() < 5)
        parts.append(QByteArray());
    PhoneRequest request;
    request.method = parts[0];
    QByteArray path = parts[1];
    if (path.startsWith('~'))
        path = '/' + kToken + path.mid(1);
    request.path = QString::fromUtf8(path);
    request.query = parts[2];
    request.contentType = parts[3];
    request.body = input.mid(parts[0].size() + parts[1].size() + parts[2].size() + parts[3].size() + 4);
    request.peer = QStringLiteral("192.168.1.2");

    FakeShoppingSource source;
    source.add(QStringLiteral("2"), QStringLiteral("Milch"), QStringLiteral("Markt"), QStringLiteral("0,99 EUR"));
    source.add(QStringLiteral("1"), QStringLiteral("Brot"), QStringLiteral("Bäcker"), QStringLiteral("1,99 EUR"));
    source.tickCalls.clear();
    PhoneRequests requests(source, kToken);
    const quint64 version = requests.version();

    const PhoneReply reply = requests.handle(request, 1000);
    const bool hasToken = request.path.startsWith(u'/' + QString::fromLatin1(kToken))
        && (request.path.size() == kToken.size() + 1 || request.path[kToken.size() + 1] == u'/');
    if (!hasToken && (reply.status != 404 || !reply.body.isEmpty()))
        std::abort();
    if (reply.status != 200 && (!source.tickCalls.isEmpty() || requests.version() != version))
        std::abort();
    if (reply.status != 200 && reply.status != 204 && reply.status != 404 && (reply.status < 400 || reply.status > 429))
        std::abort();
    return 0;
}
