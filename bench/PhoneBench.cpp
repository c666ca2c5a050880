// The phone page's figures, printed as rows of bench/run's table: the page's size for 500 entries, the time until
// the list shows in a headless chromium, a tick's way to the desktop on 127.0.0.1, and the processor time that
// sharing costs the idle window.
//   bench_phone [repetitions]
#include "BrowserSession.h"
#include "FakeShoppingSource.h"

#include "phone/PhoneRequests.h"
#include "phone/PhoneServer.h"

#include <QApplication>
#include <QLocale>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

double median(std::vector<double> values)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Processor time of this process while the event loop runs for ms.
double busyMs(int ms)
{
    const std::clock_t start = std::clock();
    BrowserSession::wait(ms);
    return 1000.0 * double(std::clock() - start) / CLOCKS_PER_SEC;
}

void row(const char* label, const char* entries, double mine, const char* baseline, const char* goal, bool met)
{
    std::printf(
        "| %s | %s | %.3f | %s | n/a | — | %s | %s |\n", label, entries, mine, baseline, goal, met ? "yes" : "NO");
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const int repetitions = argc > 1 ? std::max(1, atoi(argv[1])) : 5;

    FakeShoppingSource source;
    const QStringList shops { QStringLiteral("Bäckerei"), QStringLiteral("Hofladen"), QStringLiteral("Supermarkt"),
        QStringLiteral("Drogerie"), QStringLiteral("Getränkemarkt") };
    for (int i = 0; i < 500; ++i) {
        source.list.append({ ShoppingSource::entryKey(QStringLiteral("Produkt %1").arg(i), shops[i / 100], 0),
            shops[i / 100], QString::number(1 + i % 4), QStringLiteral("Produkt %1").arg(i),
            QStringLiteral("%1,%2 EUR").arg(i % 9).arg(10 + i % 90), false });
    }

    PhoneRequests requests(source, PhoneRequests::newToken());
    const QString base = u'/' + QString::fromLatin1(requests.token());
    const qsizetype pageBytes = requests.handle({ "GET", base + u'/', {}, {}, {}, QStringLiteral("a") }, 0).body.size();
    const qsizetype stateBytes
        = requests.handle({ "GET", base + QStringLiteral("/state"), {}, {}, {}, QStringLiteral("a") }, 0).body.size();
    const double pageKb = double(pageBytes + stateBytes) / 1024.0;
    std::printf("| phone page and its list as sent, in KB (page %lld bytes + list %lld bytes) | 500 | %.3f | n/a | "
                "n/a | — | ≤ 100 KB | %s |\n",
        qint64(pageBytes), qint64(stateBytes), pageKb, pageKb <= 100 ? "yes" : "NO");

    PhoneServer server(source);
    std::vector<double> idleOff;
    std::vector<double> idleOn;
    for (int i = 0; i < repetitions; ++i)
        idleOff.push_back(busyMs(2000));
    server.start({ QHostAddress(QHostAddress::LocalHost) }, 0);
    for (int i = 0; i < repetitions; ++i)
        idleOn.push_back(busyMs(2000));

    BrowserSession browser;
    const QString problem = browser.start();
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "bench_phone: %s\n", qPrintable(problem));
    } else {
        const QUrl page = server.pageUrl(QHostAddress(QHostAddress::LocalHost));
        std::vector<double> ready;
        std::vector<double> tick;
        for (int i = 0; i < repetitions; ++i) {
            browser.open(QUrl(QStringLiteral("about:blank")));
            browser.open(page);
            browser.waitFor(QStringLiteral("return !!document.body.dataset.version;"));
            ready.push_back(browser
                                .run(QStringLiteral("return performance.getEntriesByName('list-shown')[0]"
                                                    ".startTime;"))
                                .toDouble());
            // From the tap to the answer of the desktop, which has taken the tick by then.
            const int entry = i * 7 % 500;
            const bool was = source.list[entry].ticked;
            browser.run(QStringLiteral("performance.clearResourceTimings(); window.tappedAt = performance.now();"
                                       "Array.from(document.querySelectorAll('button.entry'))"
                                       ".find(b => b.dataset.key === arguments[0]).click();"),
                QJsonArray { source.list[entry].key });
            QElapsedTimer clock;
            clock.start();
            while (source.list[entry].ticked == was && clock.elapsed() < 10'000)
                BrowserSession::wait(1);
            browser.waitFor(QStringLiteral("return performance.getEntriesByType('resource')"
                                           ".some(e => e.name.endsWith('/ticks') && e.responseEnd > 0);"));
            tick.push_back(browser
                               .run(QStringLiteral("return performance.getEntriesByType('resource')"
                                                   ".find(e => e.name.endsWith('/ticks')).responseEnd"
                                                   " - window.tappedAt;"))
                               .toDouble());
        }
        row("phone page: from navigation to the list shown in headless chromium (wall)", "500", median(ready), "n/a",
            "≤ 300 ms", median(ready) <= 300);
        row("phone page: a tap's tick at the desktop and its answer back, 127.0.0.1 (wall)", "500", median(tick), "n/a",
            "≤ 50 ms", median(tick) <= 50);
        // With the page open and polling: what a device costs the window.
        std::vector<double> polled;
        for (int i = 0; i < repetitions; ++i)
            polled.push_back(busyMs(2000) / 2);
        std::printf("| phone sharing, one page open and polling: processor time of the window per second | 500 | "
                    "%.3f | n/a | n/a | — | — | — |\n",
            median(polled));
    }
    const double perSecondOff = median(idleOff) / 2;
    const double perSecondOn = median(idleOn) / 2;
    std::printf("| phone sharing on, no page open: processor time of the window per second (baseline: not sharing) "
                "| 500 | %.3f | %.3f | n/a | — | no more than the baseline + 0.5 ms | %s |\n",
        perSecondOn, perSecondOff, perSecondOn <= perSecondOff + 0.5 ? "yes" : "NO");
    return 0;
}
