#pragma once

#include <QMetaProperty>
#include <QString>

class QObject;

namespace korbana {

class SettingsStore;

// Turns the meta-object properties of components into text values of the settings store and back.
// Kinds: integer, real, string, enumeration, set (flags), and object (its own properties, one value each).
class PropertyStore final
{
public:
    PropertyStore(korbana::SettingsStore& store, const QString& section);

    // The property of that name, case-insensitive; the most derived class wins. Invalid when there is none.
    static QMetaProperty findProperty(const QObject* object, const QString& name);

    // Writes the property under valueName (an object property: each sub-property under valueName + its name).
    void storeProperty(const QObject* object, const QMetaProperty& property, const QString& valueName);
    // Reads it back; a value that does not convert leaves the property as it is.
    void loadProperty(QObject* object, const QMetaProperty& property, const QString& valueName);

    // The property's stored text; empty for an object or a kind that is not stored.
    static QString propertyText(const QObject* object, const QMetaProperty& property);
    // Sets the property from a stored text by its kind; false when the text left it unchanged.
    static bool setPropertyText(QObject* object, const QMetaProperty& property, const QString& text);

private:
    korbana::SettingsStore& m_store;
    QString m_section;
};

// A real in the stored form: shortest exact digits, "." as separator, exponent form ("1E-5") below 1E-4 and
// from 1E18 on.
QString storedRealText(double value);
// Reads a stored real: "." or the locale's separator, optional exponent; false when it is no finite number.
bool parseStoredReal(const QString& text, double& value);
// Trims blanks and control characters at both ends.
QString trimControls(const QString& text);

} // namespace korbana
