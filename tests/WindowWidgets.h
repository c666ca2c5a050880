#pragma once

#include "controls/BitmapButton.h"
#include "settings/StoredNames.h"
#include "ui/MainWindow.h"
#include "ui/SidePanel.h"
#include "ui/SpinEdit.h"

#include <QLineEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QToolButton>

using namespace korbana;

// The main window's controls as a user finds them, by their names.
template<class Widget> Widget* windowWidget(const QObject& window, const QString& name)
{
    auto* widget = window.findChild<Widget*>(name);
    Q_ASSERT_X(widget, "windowWidget", qPrintable(name));
    return widget;
}

inline SpinEdit* priceEdit(const MainWindow& w)
{
    return windowWidget<SpinEdit>(w, QString::fromUtf16(StoredNames::kPriceField));
}
inline QLineEdit* currencyEdit(const MainWindow& w)
{
    return windowWidget<QLineEdit>(w, QString::fromUtf16(StoredNames::kCurrencyField));
}
inline SpinEdit* leftMarginEdit(const MainWindow& w)
{
    return windowWidget<SpinEdit>(w, QString::fromUtf16(StoredNames::kLeftMargin));
}
inline SpinEdit* topMarginEdit(const MainWindow& w)
{
    return windowWidget<SpinEdit>(w, QString::fromUtf16(StoredNames::kTopMargin));
}
inline SpinEdit* rightMarginEdit(const MainWindow& w)
{
    return windowWidget<SpinEdit>(w, QString::fromUtf16(StoredNames::kRightMargin));
}
inline SpinEdit* bottomMarginEdit(const MainWindow& w)
{
    return windowWidget<SpinEdit>(w, QString::fromUtf16(StoredNames::kBottomMargin));
}
inline SidePanel* storesPanel(const MainWindow& w)
{
    return windowWidget<SidePanel>(w, QString::fromUtf16(StoredNames::kStoresPanel));
}
inline SidePanel* productsPanel(const MainWindow& w)
{
    return windowWidget<SidePanel>(w, QString::fromUtf16(StoredNames::kProductsPanel));
}
inline QTabWidget* pages(const MainWindow& w)
{
    return windowWidget<QTabWidget>(w, QStringLiteral("pages"));
}
inline QSplitter* listSplitter(const MainWindow& w)
{
    return windowWidget<QSplitter>(w, QStringLiteral("listSplitter"));
}
inline QWidget* settingsPage(const MainWindow& w)
{
    return windowWidget<QWidget>(w, QStringLiteral("settingsPage"));
}
inline BitmapButton* fontButton(const MainWindow& w)
{
    return windowWidget<BitmapButton>(w, QStringLiteral("fontButton"));
}
