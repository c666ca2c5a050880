#pragma once

#include "phone/ShoppingSource.h"

#include <QStringList>

using namespace korbana;

// A shopping list held in memory, for the phone's server and page without a document.
class FakeShoppingSource final : public ShoppingSource
{
public:
    QList<PhoneEntry> list;
    // Every tick asked for, key first, "+" or "-" after it.
    QStringList tickCalls;

    QList<PhoneEntry> entries() const override { return list; }

    bool setTicked(const QString& key, bool ticked) override
    {
        tickCalls.append(key + (ticked ? u'+' : u'-'));
        for (PhoneEntry& entry : list) {
            if (entry.key == key) {
                entry.ticked = ticked;
                Q_EMIT changed();
                return true;
            }
        }
        return false;
    }

    void add(const QString& quantity, const QString& name, const QString& shop, const QString& price)
    {
        list.append({ entryKey(name, shop, 0), shop, quantity, name, price, false });
        Q_EMIT changed();
    }
};
