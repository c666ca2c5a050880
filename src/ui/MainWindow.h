#pragma once

#include "Dialogs.h"
#include "SettingsPage.h"
#include "StartList.h"
#include "document/ListDocument.h"
#include "print/PrintFont.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QUndoStack;
class QLineEdit;
class QTabWidget;
class QToolBar;

namespace korbana {

class AboutDialog;
class DocumentSafety;
class EditMenu;
struct Entry;
class HelpWindow;
class ListModel;
class ListSplitter;
class ListView;
class MergeBar;
class PriceHints;
class PrintOptionsBox;
struct PrintOptions;
class ProductDialog;
class PhoneSharing;
class ProductSearch;
class RecentFilesMenu;
class SidePanel;
class SpinEdit;
class StatusBar;
class WindowStateStore;

// The main window: three lists side by side, the print settings page, the file commands.
// The lists and their file are the document beside it; every command is one of the public slots below.
class MainWindow final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    static constexpr char16_t kTitle[] = u"TALVEN Einkaufsliste 1.3";
    static constexpr char16_t kDefaultFile[] = u"korbana.kbl";

    // programDir: the folder of the help file, and of the default list file when start names none; empty means
    // the program's own folder. start: the list opened at start instead (the command line's file, or the default
    // list in the user's data folder).
    explicit MainWindow(
        Dialogs& dialogs, const QString& programDir = {}, StartList start = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The other windows, created once by the main routine; the main window only shows them.
    void setAboutDialog(AboutDialog* dialog) { m_aboutDialog = dialog; }
    void setProductDialog(ProductDialog* dialog) { m_productDialog = dialog; }

    Dialogs& dialogs() const { return m_dialogs; }
    // The program directory, always ending in "/".
    QString programDirectory() const { return m_programDir; }
    ListDocument* document() const { return m_document.get(); }
    // Sharing the shopping list with phones on the home network.
    PhoneSharing* phoneSharing() const { return m_phoneSharing; }
    // Full path of the list file last opened or saved, empty for a document without a file.
    QString documentName() const { return m_document->fileName(); }

    ListModel* stores() const { return m_document->stores(); }
    ListModel* products() const { return m_document->products(); }
    ListModel* shopping() const { return m_document->shopping(); }
    ListView* storesView() const { return m_storesView; }
    ListView* productsView() const { return m_productsView; }
    ListView* shoppingView() const { return m_shoppingView; }
    ListView* listView(int list) const
    {
        return list == Stores ? m_storesView : list == Products ? m_productsView : m_shoppingView;
    }
    ListView* listView(ListKind kind) const { return listView(static_cast<int>(kind)); }

    const PrintFont& printFont() const { return m_printFont; }
    void setPrintFont(const PrintFont& font) { m_printFont = font; }
    // Margins in whole millimetres as the fields read them: text that is no whole number gives 0.
    int leftMargin() const { return m_settingsPage->leftMargin(); }
    int topMargin() const { return m_settingsPage->topMargin(); }
    int rightMargin() const { return m_settingsPage->rightMargin(); }
    int bottomMargin() const { return m_settingsPage->bottomMargin(); }

    // Sort state of one list, kept with it, not stored.
    enum List { Stores = 0, Products = 1, Shopping = 2 };
    SortState sortState(int list) const
    {
        return (list == Stores ? stores() : list == Products ? products() : shopping())->sortState();
    }

    // Stores what an open in-place edit box of any list holds, so that saving and printing take what the user sees.
    void commitEdits();
    // The printout's additions as ticked on the settings page.
    PrintOptions printOptions() const;
    // The Shopping list's entries as the printout takes them: without those ticked off when the options say so.
    std::vector<Entry> entriesToPrint() const;
    // "Summe: 4,47 EUR", as the status bar shows it.
    QString shoppingTotalText() const;
    // Where the window's placement and stored properties are kept between runs.
    WindowStateStore* windowStateStore() const { return m_windowState; }
    // Whether the lists have been changed since the document's file was last read or written.
    bool isModified() const { return m_document->isModified(); }
    // Every change to the lists is a step of the document's history.
    QUndoStack* history() const { return m_document->history(); }
    // The list files opened or saved last, newest first.
    QStringList recentFiles() const;

public Q_SLOTS:
    // The document and its life.
    void openStartFile();
    void openFile(const QString& path);
    // A file dropped on the window: opened as "Öffnen..." would, after the unsaved-data question.
    void openDroppedFile(const QString& path);
    // True when the file was written whole; on failure the old file is untouched and the user was told.
    bool saveFile(const QString& path);
    // The unsaved-data question of closing; true when the window may close.
    bool queryClose();
    void newDocument();
    void openDocument();
    void save();
    void saveAs();
    void quit();
    void exportCsv();
    // "Frühere Fassungen...": the versions that saves replaced, one merged back on request.
    void showEarlierVersions();
    void importCsv();

    void setUpPrinter();
    void printShoppingList();
    // Shows the printout's pages as they would print, with the current margins, font and options.
    void previewShoppingList();
    void choosePrintFont();
    void showHelp();
    void showAbout();

    // Undo and redo of the lists' changes.
    void undo();
    void redo();
    // "Zuletzt geöffnet": as "Öffnen..." with that file.
    void openRecentFile(const QString& path);

    // Prices across shops: each shopping entry to the shop that sells its product cheapest (one step), and the
    // comparison of the shops over the Shopping list.
    void chooseCheapestShops();
    void comparePrices();

    // Editing the lists.
    void addStore();
    void removeStore();
    void clearStores();
    void addProduct();
    void removeProduct();
    void clearProducts();
    void editProduct();
    void addToShoppingList();
    void removeFromShoppingList();
    void clearShoppingList();

    // The weekly routine: Space ticks the selected shopping entry or takes its tick away; "Erledigte entfernen".
    void toggleTick();
    void removeTicked();
    // The walk through the shop: the selected product one place earlier or later; the Shopping list in its order.
    void moveUpInWalk();
    void moveDownInWalk();
    void orderByWalk();
    // Staples: the selected product marked with its usual quantity (the one on the Shopping list, else 1), or no
    // longer; "Stammartikel eintragen".
    void toggleStaple();
    void addStaples();
    // "Schnell eintragen": the quick-add field's line onto the Shopping list; Ctrl+L goes to the field.
    void quickAdd();
    void focusQuickAdd();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool event(QEvent* event) override;

private:
    void buildMenu();
    void buildToolBar();
    void buildListsPage();
    void buildListButtons(QWidget* storesStrip, QWidget* productsStrip, QWidget* shoppingStrip);
    void connectLists();
    // Shortcuts and Insert in the lists; accessible names for the controls.
    void setUpKeys();
    void nameControls();
    // The title follows the document, as the status bar does; the commands on the Shopping list, and open and
    // reload after their messages, also show the status text anew when they end (even with the count unchanged).
    void showTitle(const QString& path);
    // The command line's file, else the default list file.
    QString startFilePath();
    // Yes: save (under the name, or through the save dialog). False when the command must stop.
    bool saveStep();
    // The unsaved-data question; false when the command must stop (Cancel, cancelled or failed save).
    bool askToSave(const QString& title);
    void sortList(ListKind kind, int column);
    void buildShoppingTrip();
    void buildPhone();
    void shareToPhone();
    void buildProductSearch();
    void buildRoutine();
    void buildQuickAdd();
    // Draws the Shopping list on the printer object with the current margins, font and options.
    void printOut();

    // The document's file was changed elsewhere: offers to load it again.
    void offerReload();

    Dialogs& m_dialogs;
    QString m_programDir;
    StartList m_start;
    // Goes right after the window's own part, while the views that show its lists are still whole: nothing of it
    // then reaches a window half gone.
    std::unique_ptr<ListDocument> m_document;
    PrintFont m_printFont;
    bool m_shown = false;
    bool m_closeAllowed = false;
    // The questions that keep the document safe.
    DocumentSafety* m_safety = nullptr;
    MergeBar* m_mergeBar = nullptr;

    AboutDialog* m_aboutDialog = nullptr;
    HelpWindow* m_helpWindow = nullptr;
    ProductDialog* m_productDialog = nullptr;

    QAction* m_newAction = nullptr;
    QAction* m_openAction = nullptr;
    QAction* m_saveAction = nullptr;
    QAction* m_saveAsAction = nullptr;
    QAction* m_csvExportAction = nullptr;
    QAction* m_csvImportAction = nullptr;
    QAction* m_earlierVersionsAction = nullptr;
    QAction* m_printerSetupAction = nullptr;
    QAction* m_printAction = nullptr;
    QAction* m_printPreviewAction = nullptr;
    QAction* m_quitAction = nullptr;
    QAction* m_helpAction = nullptr;
    QAction* m_aboutAction = nullptr;
    EditMenu* m_editMenu = nullptr;
    RecentFilesMenu* m_recentMenu = nullptr;
    QToolBar* m_toolBar = nullptr;
    QTabWidget* m_pages = nullptr;
    ListSplitter* m_splitter = nullptr;
    SidePanel* m_storesPanel = nullptr;
    SidePanel* m_productsPanel = nullptr;
    ListView* m_storesView = nullptr;
    ListView* m_productsView = nullptr;
    ListView* m_shoppingView = nullptr;
    // The marker of entries sold cheaper elsewhere, and the catalogue's offers the price commands ask.
    PriceHints* m_priceHints = nullptr;
    SpinEdit* m_priceEdit = nullptr;
    QLineEdit* m_currencyEdit = nullptr;
    SettingsPage* m_settingsPage = nullptr;
    // Settings: restored on the first showing, saved on an allowed close, and by the destruction if none ran.
    WindowStateStore* m_windowState = nullptr;
    StatusBar* m_statusBar = nullptr;
    ProductSearch* m_productSearch = nullptr;
    PhoneSharing* m_phoneSharing = nullptr;
    PrintOptionsBox* m_printOptions = nullptr;
    QLineEdit* m_quickAddEdit = nullptr;

    FileDialogOptions m_listOpenOptions;
    FileDialogOptions m_listSaveOptions;
    FileDialogOptions m_csvOpenOptions;
    FileDialogOptions m_csvSaveOptions;
};

} // namespace korbana
