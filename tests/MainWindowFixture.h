#pragma once

#include "ScriptedDialogs.h"
#include "ui/MainWindow.h"

#include <QFile>
#include <QTemporaryDir>

#include <memory>

using namespace korbana;

// A main window over a temporary program directory, answered by a script.
struct MainWindowFixture
{
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    std::unique_ptr<MainWindow> form;

    QString path(const QString& name) const { return dir.filePath(name); }

    static void writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }

    static QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Creates the window; with defaultFile the program directory holds a korbana.kbl of those bytes.
    MainWindow& start(const QByteArray* defaultFile = nullptr)
    {
        if (defaultFile)
            writeFile(path(QStringLiteral("korbana.kbl")), *defaultFile);
        form = std::make_unique<MainWindow>(dialogs, dir.path());
        return *form;
    }
};

// Two shops, one product, one shopping entry, in the bytes the list file holds.
inline QByteArray sampleListFile()
{
    return QByteArray("2\r\nB\xe4"
                      "cker\r\nMarkt\r\n1\r\nBrot\r\nB\xe4"
                      "cker\r\n1,99 EUR\r\n1\r\n1\r\nBrot\r\nB\xe4"
                      "cker\r\n1,99 EUR\r\n");
}
