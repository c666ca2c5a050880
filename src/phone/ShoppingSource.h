#pragma once

#include <QList>
#include <QObject>
#include <QString>

namespace korbana {

// One open entry of the shopping list as the phone shows it.
struct PhoneEntry
{
    // Names the entry by its texts, so that a tick sent later still finds it after sorting or other edits.
    QString key;
    QString shop;
    QString quantity;
    QString name;
    QString price;
    bool ticked = false;
};

// What the phone page needs of the shopping list, and nothing more.
class ShoppingSource : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ShoppingSource)

public:
    explicit ShoppingSource(QObject* parent = nullptr)
        : QObject(parent)
    {
    }

    // The entries in the order of the walk through the shops: each shop's entries together.
    virtual QList<PhoneEntry> entries() const = 0;
    // Ticks or unticks the entry named key as the user would at the desktop; false when no entry has that key.
    virtual bool setTicked(const QString& key, bool ticked) = 0;

    // The key of the occurrence-th entry (from 0) with these texts, in list order.
    static QString entryKey(const QString& name, const QString& shop, int occurrence);

Q_SIGNALS:
    // Any change that the page shows: entries, their order, texts or ticks.
    void changed();
};

} // namespace korbana
