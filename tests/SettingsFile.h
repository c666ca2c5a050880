#pragma once

#include <QFile>
#include <QMap>
#include <QString>
#include <QStringList>

// Reads and writes one section of a settings INI file by hand, so tests see exactly what is on disk.
namespace SettingsFile {

using Values = QMap<QString, QString>;

inline void write(const QString& path, const QString& section, const Values& values)
{
    QByteArray text = "[" + section.toUtf8() + "]\n";
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        text += it.key().toUtf8() + "=" + it.value().toUtf8() + "\n";
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text);
}

inline Values read(const QString& path, const QString& section)
{
    Values values;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return values;
    bool inSection = false;
    for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
        if (line.startsWith('[')) {
            inSection = line == "[" + section + "]";
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (inSection && equals > 0)
            values.insert(line.left(equals), line.mid(equals + 1));
    }
    return values;
}

} // namespace SettingsFile
