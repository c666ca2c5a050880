// Names for the controls a screen reader meets: the icon-only buttons say what they do and on which list, the
// lists and fields say what they hold. The tool tips stay the short hints they are.
#include "MainWindow.h"

#include "SpinEdit.h"
#include "lists/ListView.h"

#include <QLineEdit>
#include <QTabWidget>
#include <QToolButton>

namespace korbana {

void MainWindow::nameControls()
{
    const std::pair<const char*, const char16_t*> buttons[] = {
        { "addStoreButton", u"Laden hinzufügen" },
        { "removeStoreButton", u"Laden entfernen" },
        { "clearStoresButton", u"Alle Läden löschen" },
        { "addProductButton", u"Produkt hinzufügen" },
        { "removeProductButton", u"Produkt entfernen" },
        { "clearProductsButton", u"Alle Produkte löschen" },
        { "editProductButton", u"Produkt bearbeiten" },
        { "addToShoppingButton", u"Auf die Einkaufsliste" },
        { "removeFromShoppingButton", u"Von der Einkaufsliste entfernen" },
        { "clearShoppingButton", u"Einkaufsliste löschen" },
        { "cheapestShopsButton", u"Einkaufsliste: günstigste Läden wählen" },
        { "addStaplesButton", u"Einkaufsliste: Stammartikel eintragen" },
        { "newButton", u"Neu" },
        { "openButton", u"Öffnen" },
        { "saveButton", u"Speichern" },
        { "saveAsButton", u"Speichern unter" },
        { "printButton", u"Drucken" },
        { "quitButton", u"Beenden" },
    };
    for (const auto& [name, accessibleName] : buttons)
        if (auto* button = findChild<QToolButton*>(QLatin1String(name)))
            button->setAccessibleName(QString::fromUtf16(accessibleName));

    m_storesView->setAccessibleName(QStringLiteral("Läden"));
    m_productsView->setAccessibleName(QStringLiteral("Produkte"));
    m_shoppingView->setAccessibleName(QStringLiteral("Einkaufsliste"));
    m_priceEdit->setAccessibleName(QStringLiteral("Preis für neue Produkte"));
    m_currencyEdit->setAccessibleName(QStringLiteral("Währung"));
    m_settingsPage->leftMarginEdit()->setAccessibleName(QStringLiteral("Rand links in mm"));
    m_settingsPage->topMarginEdit()->setAccessibleName(QStringLiteral("Rand oben in mm"));
    m_settingsPage->rightMarginEdit()->setAccessibleName(QStringLiteral("Rand rechts in mm"));
    m_settingsPage->bottomMarginEdit()->setAccessibleName(QStringLiteral("Rand unten in mm"));
    m_pages->tabBar()->setAccessibleName(QStringLiteral("Seiten"));
}

} // namespace korbana
