#pragma once

#include <QString>

#include <memory>
#include <stdexcept>

class QSettings;
class QTemporaryDir;

namespace korbana {

// A failure of the settings store; its text is German and meant for the user.
class SettingsError : public std::runtime_error
{
public:
    explicit SettingsError(const QString& text)
        : std::runtime_error(text.toStdString())
    {
    }
    QString text() const { return QString::fromStdString(what()); }
};

// The stored settings as text values under one key path: on Windows the registry at
// HKEY_CURRENT_USER\Software\<program base name>, elsewhere the INI file <config folder>/<program base name>.conf,
// one section per window. Value names and texts are written verbatim (no escaping of parentheses).
class SettingsStore final
{
public:
    SettingsStore();
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // Opens the key path, creating its folder when missing.
    void open();
    // Writes pending values to disk and releases the store.
    void close();
    bool isOpen() const { return m_settings != nullptr; }

    // The value's text, or defaultText when the section or value is missing. Throws when it is no text.
    QString readString(const QString& section, const QString& name, const QString& defaultText) const;
    // The value read as a decimal integer; defaultValue when missing or not an integer.
    int readInteger(const QString& section, const QString& name, int defaultValue) const;
    void writeString(const QString& section, const QString& name, const QString& text);
    void writeInteger(const QString& section, const QString& name, int value);
    void writeBool(const QString& section, const QString& name, bool value);

    // The base name of the running program file ("korbana").
    static QString programBaseName();
    // Where the settings live: the registry key path on Windows, the INI file elsewhere.
    static QString location();
    // Points the store at this INI file instead (tests); empty restores the normal location.
    static void setFileOverride(const QString& iniPath);
    // Without a file override, every opening starts from an empty file that is thrown away on closing (tests).
    static void setScratchMode(bool on);

private:
    QSettings& settings() const;
    std::unique_ptr<QTemporaryDir> m_scratch;
    std::unique_ptr<QSettings> m_settings;
    QString m_firstPending; // the first value not yet on disk
    bool m_refused = false; // the settings path is no regular file
};

// Parses text as a whole decimal number.
bool parseInteger(const QString& text, int& value);

} // namespace korbana
