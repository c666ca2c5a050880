#include "WindowStateStore.h"

#include "PropertyStore.h"
#include "SettingsStore.h"

#include <QWidget>

#include <algorithm>

namespace korbana {

WindowStateStore::WindowStateStore(QWidget* window)
    : WindowPlacement(window)
{
}

void WindowStateStore::resolveStoredProps()
{
    m_entries.clear();
    const QList<QObject*> children = window()->findChildren<QObject*>();
    for (const QString& entry : std::as_const(m_storedProps)) {
        const qsizetype dot = entry.indexOf(u'.');
        if (dot < 0)
            continue;
        const QString componentName = entry.left(dot).trimmed();
        const QString propertyName = entry.mid(dot + 1).trimmed();
        if (componentName.isEmpty() || propertyName.isEmpty())
            continue;
        const auto found = std::find_if(children.cbegin(), children.cend(),
            [&](const QObject* child) { return child->objectName().compare(componentName, Qt::CaseInsensitive) == 0; });
        if (found != children.cend())
            m_entries.push_back({ *found, componentName, propertyName });
    }
}

void WindowStateStore::forEachEntry(const EntryStep& step) const
{
    for (const Entry& entry : m_entries) {
        if (!entry.component)
            continue;
        const QMetaProperty property = PropertyStore::findProperty(entry.component, entry.propertyName);
        if (property.isValid())
            step(entry.component, property, entry.valueName());
    }
}

void WindowStateStore::restoreProperties(korbana::SettingsStore& store)
{
    PropertyStore props(store, section());
    forEachEntry([&props](QObject* component, const QMetaProperty& property, const QString& valueName) {
        props.loadProperty(component, property, valueName);
    });
    if (m_restoreFurther)
        m_restoreFurther(store);
}

void WindowStateStore::saveProperties(korbana::SettingsStore& store)
{
    PropertyStore props(store, section());
    forEachEntry([&props](QObject* component, const QMetaProperty& property, const QString& valueName) {
        props.storeProperty(component, property, valueName);
    });
    if (m_saveFurther)
        m_saveFurther(store);
}

} // namespace korbana
