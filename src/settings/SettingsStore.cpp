#include "SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QIODevice>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <utility>

namespace korbana {

namespace {

QString& fileOverride()
{
    static QString path;
    return path;
}

bool& scratchMode()
{
    static bool on = false;
    return on;
}

// Our own INI dialect: QSettings' one escapes "(" in names ("NormPos%281024x768%29") and turns a value with
// commas into a list, while these values must read the same as in the registry.
bool readIni(QIODevice& device, QSettings::SettingsMap& map)
{
    const QString all = QString::fromUtf8(device.readAll());
    QString section;
    for (QStringView line : QStringView(all).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QStringView trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u';') || trimmed.startsWith(u'#'))
            continue;
        if (trimmed.startsWith(u'[') && trimmed.endsWith(u']')) {
            section = trimmed.mid(1, trimmed.size() - 2).trimmed().toString();
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        const QString name = line.left(std::max<qsizetype>(equals, 0)).trimmed().toString();
        if (name.isEmpty())
            continue; // damaged lines are skipped
        // The value as it stands: readers trim it themselves.
        map.insert(section.isEmpty() ? name : section + u'/' + name, line.mid(equals + 1).toString());
    }
    return true;
}

QString iniText(const QVariant& value)
{
    QString text = value.userType() == QMetaType::QStringList ? value.toStringList().join(u',') : value.toString();
    // One value per line: a line break inside one could not be read back.
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

bool writeIni(QIODevice& device, const QSettings::SettingsMap& map)
{
    QString out;
    QString current;
    bool first = true;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const qsizetype slash = it.key().lastIndexOf(u'/');
        const QString section = slash < 0 ? QString() : it.key().left(slash);
        const QString name = it.key().mid(slash + 1);
        if (first || section != current) {
            if (!first)
                out += u'\n';
            if (!section.isEmpty())
                out += u'[' + section + u"]\n";
            current = section;
            first = false;
        }
        out += name + u'=' + iniText(it.value()) + u'\n';
    }
    const QByteArray bytes = out.toUtf8();
    if (device.write(bytes) != bytes.size())
        return false;
    // The save file only buffers the bytes, and its commit does not notice a full disk: a failed flush must
    // keep the old file.
    auto* file = qobject_cast<QFileDevice*>(&device);
    return !file || file->flush();
}

QSettings::Format iniFormat()
{
    static const QSettings::Format format = QSettings::registerFormat(QStringLiteral("conf"), readIni, writeIni);
    return format;
}

QString key(const QString& section, const QString& name)
{
    return section + u'/' + name;
}

// The settings name the lists last opened: the file is the owner's alone, like the lists themselves may be.
void keepPrivate(const QSettings& settings)
{
    const QFileInfo file(settings.fileName());
    if (settings.format() != QSettings::NativeFormat && file.isFile() && !file.isSymLink())
        QFile::setPermissions(file.filePath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

} // namespace

bool parseInteger(const QString& text, int& value)
{
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    if (ok)
        value = v;
    return ok;
}

SettingsStore::SettingsStore() = default;

SettingsStore::~SettingsStore()
{
    // A store left open by an error still gets written.
    if (m_settings) {
        m_settings->sync();
        keepPrivate(*m_settings);
    }
}

QString SettingsStore::programBaseName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

QString SettingsStore::location()
{
    if (!fileOverride().isEmpty())
        return fileOverride();
#ifdef Q_OS_WIN
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\") + programBaseName();
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' + programBaseName()
        + QStringLiteral(".conf");
#endif
}

void SettingsStore::setFileOverride(const QString& iniPath)
{
    fileOverride() = iniPath;
}

void SettingsStore::setScratchMode(bool on)
{
    scratchMode() = on;
}

void SettingsStore::open()
{
    close();
    QString path = location();
    if (scratchMode() && fileOverride().isEmpty()) {
        m_scratch = std::make_unique<QTemporaryDir>();
        path = m_scratch->filePath(QStringLiteral("scratch.conf"));
        m_settings = std::make_unique<QSettings>(path, iniFormat());
        return;
    }
#ifdef Q_OS_WIN
    if (fileOverride().isEmpty()) {
        m_settings = std::make_unique<QSettings>(path, QSettings::NativeFormat);
        return;
    }
#endif
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        // A pipe would block the start and a device would be replaced by a file on saving: read nothing from
        // it (the fields keep their values) and refuse every write.
        m_refused = true;
        m_scratch = std::make_unique<QTemporaryDir>();
        m_settings = std::make_unique<QSettings>(m_scratch->filePath(QStringLiteral("refused.conf")), iniFormat());
        return;
    }
    m_settings = std::make_unique<QSettings>(path, iniFormat());
}

void SettingsStore::close()
{
    if (!m_settings)
        return;
    m_settings->sync();
    keepPrivate(*m_settings);
    const bool failed = m_settings->status() == QSettings::AccessError;
    m_settings.reset();
    m_scratch.reset();
    m_refused = false;
    const QString pending = std::exchange(m_firstPending, QString());
    if (failed && !pending.isEmpty())
        throw SettingsError(QStringLiteral("Konnte Daten für '%1' nicht setzen").arg(pending));
}

QSettings& SettingsStore::settings() const
{
    Q_ASSERT(m_settings);
    return *m_settings;
}

QString SettingsStore::readString(const QString& section, const QString& name, const QString& defaultText) const
{
    const QVariant value = settings().value(key(section, name));
    switch (value.userType()) {
    case QMetaType::UnknownType:
        return defaultText;
    case QMetaType::QString:
        return value.toString();
    case QMetaType::QStringList:
        return value.toStringList().join(u',');
    default:
        throw SettingsError(QStringLiteral("Ungültiger Datentyp für '%1'").arg(name));
    }
}

int SettingsStore::readInteger(const QString& section, const QString& name, int defaultValue) const
{
    int value = defaultValue;
    parseInteger(readString(section, name, QString()), value);
    return value;
}

void SettingsStore::writeString(const QString& section, const QString& name, const QString& text)
{
    QSettings& s = settings();
    if (m_refused || !s.isWritable())
        throw SettingsError(QStringLiteral("Erzeugung von Schlüssel %1 misslungen").arg(section));
    s.setValue(key(section, name), text);
    if (s.status() != QSettings::NoError)
        throw SettingsError(QStringLiteral("Konnte Daten für '%1' nicht setzen").arg(name));
    if (m_firstPending.isEmpty())
        m_firstPending = name;
}

void SettingsStore::writeInteger(const QString& section, const QString& name, int value)
{
    writeString(section, name, QString::number(value));
}

void SettingsStore::writeBool(const QString& section, const QString& name, bool value)
{
    writeString(section, name, value ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace korbana
