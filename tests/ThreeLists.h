#pragma once

#include "document/ListFile.h"
#include "lists/ListModel.h"

using namespace korbana;

// Three fresh lists with the main window's columns.
struct ThreeLists
{
    ListModel stores { { QStringLiteral("Name") } };
    ListModel products { { QStringLiteral("Name"), QStringLiteral("Laden"), QStringLiteral("Preis") } };
    ListModel shopping { { QStringLiteral("Menge"), QStringLiteral("Name"), QStringLiteral("Laden"),
        QStringLiteral("Preis") } };
    korbana::ListSet set() { return { &stores, &products, &shopping }; }
};
