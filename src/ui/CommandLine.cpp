#include "CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

namespace korbana {

namespace {

void print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

// Qt's own options, taken by the windows' application object after this parse: -platform, -style, -session
// (which session management passes on a restore) and the like must not count as unknown.
void acceptQtOptions(QCommandLineParser& parser)
{
    const char* const withValue[] = { "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
        "qwindowicon", "qwindowtitle", "session", "style", "stylesheet", "display", "geometry" };
    const char* const withoutValue[] = { "reverse", "widgetcount", "nograb", "dograb", "sync" };
    for (const char* name : withValue) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : withoutValue) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

CommandLine failure(const QString& error)
{
    print(stderr, QStringLiteral("korbana: %1\nMehr dazu: korbana --help\n").arg(error));
    return { {}, 2 };
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    // Qt's options are written with one dash (-platform xcb), so one dash starts a long option here too.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral("Einkaufsliste mit Läden, Produkten und Preisen."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("DATEI"),
        QStringLiteral("Die Listendatei (.kbl), die statt der Standardliste geöffnet wird."),
        QStringLiteral("[DATEI]"));
    acceptQtOptions(parser);

    if (!parser.parse(arguments))
        return failure(parser.errorText());
    if (parser.isSet(helpOption) || parser.isSet(QStringLiteral("help-all"))) {
        print(stdout, parser.helpText());
        return { {}, 0 };
    }
    if (parser.isSet(versionOption)) {
        print(stdout, QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion() + u'\n');
        return { {}, 0 };
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        return failure(QStringLiteral("Nur eine Listendatei kann geöffnet werden."));
    if (files.isEmpty())
        return {};
    if (files.first().isEmpty())
        return failure(QStringLiteral("Der Dateiname ist leer."));
    return { QFileInfo(files.first()).absoluteFilePath(), std::nullopt };
}

} // namespace korbana
