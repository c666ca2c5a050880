#pragma once

#include "WindowPlacement.h"

#include <QMetaProperty>
#include <QStringList>

#include <functional>

#include <vector>

namespace korbana {

// The window's placement and chosen properties of its components ("leftREd.Value"), kept between runs.
class WindowStateStore final : public WindowPlacement
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WindowStateStore)

public:
    explicit WindowStateStore(QWidget* window);

    // Entries "Component.Property"; resolved against the window's children by resolveStoredProps().
    void setStoredProps(const QStringList& entries) { m_storedProps = entries; }
    QStringList storedProps() const { return m_storedProps; }
    // Looks the components up (case-insensitive) and drops the entries that don't parse or name none.
    void resolveStoredProps();
    // Values kept beside the window's own section, restored and saved together with its properties.
    using ValuesStep = std::function<void(korbana::SettingsStore&)>;
    void setFurtherValues(ValuesStep restore, ValuesStep save)
    {
        m_restoreFurther = std::move(restore);
        m_saveFurther = std::move(save);
    }

protected:
    void restoreProperties(korbana::SettingsStore& store) override;
    void saveProperties(korbana::SettingsStore& store) override;

private:
    struct Entry
    {
        QPointer<QObject> component;
        QString componentName;
        QString propertyName;
        QString valueName() const { return componentName + u'_' + propertyName; }
    };
    // An existing property of a live entry, in list order.
    using EntryStep = std::function<void(QObject*, const QMetaProperty&, const QString&)>;
    void forEachEntry(const EntryStep& step) const;

    QStringList m_storedProps;
    std::vector<Entry> m_entries;
    ValuesStep m_restoreFurther;
    ValuesStep m_saveFurther;
};

} // namespace korbana
