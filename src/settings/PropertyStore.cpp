#include "PropertyStore.h"

#include "SettingsStore.h"

#include <QLocale>
#include <QMetaEnum>
#include <QObject>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace korbana {

QString trimControls(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= u' ')
        ++first;
    while (last > first && text.at(last - 1).unicode() <= u' ')
        --last;
    return text.mid(first, last - first);
}

QString storedRealText(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (value == 0)
        return QStringLiteral("0");
    // "-1.25e+02": the shortest digits that read back as the same double, and the decimal exponent.
    const QString scientific = QLocale::c().toString(value, 'e', QLocale::FloatingPointShortest);
    const qsizetype e = scientific.indexOf(u'e');
    const bool negative = scientific.startsWith(u'-');
    QString digits = scientific.left(e).remove(u'-').remove(u'.');
    const int exponent = scientific.mid(e + 1).toInt();
    while (digits.size() > 1 && digits.endsWith(u'0'))
        digits.chop(1);

    QString text;
    if (exponent < -4 || exponent >= 18) {
        text = digits.left(1);
        if (digits.size() > 1)
            text += u'.' + digits.mid(1);
        text += u'E' + QString::number(exponent);
    } else if (exponent >= 0) {
        const qsizetype whole = exponent + 1;
        if (digits.size() < whole)
            digits += QString(whole - digits.size(), u'0');
        text = digits.left(whole);
        if (digits.size() > whole)
            text += u'.' + digits.mid(whole);
    } else {
        text = QStringLiteral("0.") + QString(-exponent - 1, u'0') + digits;
    }
    return negative ? u'-' + text : text;
}

bool parseStoredReal(const QString& text, double& value)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    QString localised = text;
    localised.replace(u'.', locale.decimalPoint());
    bool ok = false;
    const double v = locale.toDouble(localised, &ok);
    // "NAN" and "INF" parse, but no field can show or clamp them: they are no number here.
    if (!ok || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

namespace {

enum class Kind { None, Integer, Real, String, Enumeration, Boolean, Set, Object };

Kind kindOf(const QMetaProperty& property)
{
    if (property.isFlagType())
        return Kind::Set;
    if (property.isEnumType())
        return Kind::Enumeration;
    switch (property.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return Kind::Integer;
    case QMetaType::Double:
    case QMetaType::Float:
        return Kind::Real;
    case QMetaType::QString:
        return Kind::String;
    case QMetaType::Bool:
        return Kind::Boolean;
    default:
        break;
    }
    if (property.metaType().flags() & QMetaType::PointerToQObject)
        return Kind::Object;
    return Kind::None;
}

const QString kFalse = QStringLiteral("False");
const QString kTrue = QStringLiteral("True");

int enumValue(const QObject* object, const QMetaProperty& property)
{
    return property.read(object).toInt();
}

QString setText(const QMetaEnum& type, int value)
{
    QStringList members;
    for (int i = 0; i < type.keyCount(); ++i) {
        const int bit = type.value(i);
        if (bit != 0 && (value & bit) == bit)
            members.append(QLatin1String(type.key(i)));
    }
    return u'[' + members.join(u',') + u']';
}

// The member's value, case-insensitive; -1 when it names none.
int memberValue(const QMetaEnum& type, QStringView word)
{
    for (int i = 0; i < type.keyCount(); ++i)
        if (word.compare(QLatin1String(type.key(i)), Qt::CaseInsensitive) == 0)
            return type.value(i);
    return -1;
}

bool writeEnum(QObject* object, const QMetaProperty& property, int value)
{
    QVariant variant(value);
    return variant.convert(property.metaType()) && property.write(object, variant);
}

// The object's own properties (not QObject's), in alphabetical order of their names.
std::vector<QMetaProperty> ownProperties(const QObject* object)
{
    std::vector<QMetaProperty> list;
    const QMetaObject* meta = object->metaObject();
    for (int i = QObject::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i)
        list.push_back(meta->property(i));
    std::sort(list.begin(), list.end(), [](const QMetaProperty& a, const QMetaProperty& b) {
        return QLatin1String(a.name()).compare(QLatin1String(b.name()), Qt::CaseInsensitive) < 0;
    });
    return list;
}

QObject* objectValue(const QObject* object, const QMetaProperty& property)
{
    return property.read(object).value<QObject*>();
}

} // namespace

PropertyStore::PropertyStore(korbana::SettingsStore& store, const QString& section)
    : m_store(store)
    , m_section(section)
{
}

QMetaProperty PropertyStore::findProperty(const QObject* object, const QString& name)
{
    const QMetaObject* meta = object->metaObject();
    for (int i = meta->propertyCount() - 1; i >= 0; --i) {
        const QMetaProperty property = meta->property(i);
        if (name.compare(QLatin1String(property.name()), Qt::CaseInsensitive) == 0)
            return property;
    }
    return {};
}

QString PropertyStore::propertyText(const QObject* object, const QMetaProperty& property)
{
    switch (kindOf(property)) {
    case Kind::Integer:
        return QString::number(property.read(object).toLongLong());
    case Kind::Real:
        return korbana::storedRealText(property.read(object).toDouble());
    case Kind::String:
        return property.read(object).toString();
    case Kind::Boolean:
        return property.read(object).toBool() ? kTrue : kFalse;
    case Kind::Enumeration:
        return QLatin1String(property.enumerator().valueToKey(enumValue(object, property)));
    case Kind::Set:
        return setText(property.enumerator(), enumValue(object, property));
    case Kind::Object:
    case Kind::None:
        break;
    }
    return {};
}

bool PropertyStore::setPropertyText(QObject* object, const QMetaProperty& property, const QString& text)
{
    switch (kindOf(property)) {
    case Kind::Integer: {
        bool ok = false;
        qlonglong value = text.toLongLong(&ok, 10);
        const bool fitsInt = value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max();
        if (!ok || (property.metaType().id() == QMetaType::Int && !fitsInt))
            value = 0;
        return property.write(object, value);
    }
    case Kind::Real: {
        double value = 0;
        return korbana::parseStoredReal(text, value) && property.write(object, value);
    }
    case Kind::String:
        return property.write(object, text);
    case Kind::Boolean:
        if (text.compare(kFalse, Qt::CaseInsensitive) == 0)
            return property.write(object, false);
        if (text.compare(kTrue, Qt::CaseInsensitive) == 0)
            return property.write(object, true);
        return false;
    case Kind::Enumeration: {
        const int value = memberValue(property.enumerator(), text);
        return value >= 0 && writeEnum(object, property, value);
    }
    case Kind::Set: {
        static const QRegularExpression separators(QStringLiteral("[\\s,\\[\\]]+"));
        int value = 0;
        for (const QString& word : text.split(separators, Qt::SkipEmptyParts))
            value |= std::max(0, memberValue(property.enumerator(), word));
        return writeEnum(object, property, value);
    }
    case Kind::Object:
    case Kind::None:
        break;
    }
    return false;
}

void PropertyStore::storeProperty(const QObject* object, const QMetaProperty& property, const QString& valueName)
{
    if (kindOf(property) == Kind::Object) {
        if (const QObject* sub = objectValue(object, property))
            for (const QMetaProperty& subProperty : ownProperties(sub))
                storeProperty(sub, subProperty, valueName + QLatin1String(subProperty.name()));
        return;
    }
    if (kindOf(property) == Kind::None)
        return;
    const QString text = korbana::trimControls(propertyText(object, property));
    // Only a string may be stored empty (an emptied field stays empty).
    if (!text.isEmpty() || kindOf(property) == Kind::String)
        m_store.writeString(m_section, valueName, text);
}

void PropertyStore::loadProperty(QObject* object, const QMetaProperty& property, const QString& valueName)
{
    if (kindOf(property) == Kind::Object) {
        if (QObject* sub = objectValue(object, property))
            for (const QMetaProperty& subProperty : ownProperties(sub))
                loadProperty(sub, subProperty, valueName + QLatin1String(subProperty.name()));
        return;
    }
    if (kindOf(property) == Kind::None)
        return;
    try {
        const QString text = m_store.readString(m_section, valueName, propertyText(object, property));
        setPropertyText(object, property, korbana::trimControls(text));
    } catch (const std::exception&) {
        // A value that cannot be read leaves the property as it is; the next one is read.
    }
}

} // namespace korbana
