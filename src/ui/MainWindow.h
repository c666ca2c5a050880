#pragma once

#include "Dialogs.h"
#include "print/PrintFont.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QToolBar;
class QToolButton;

struct Entry;
class ListModel;
class ListView;
class SidePanel;
class SpinEdit;
class AboutDialog;
class ProductDialog;
class BitmapButton;
class WindowStateStore;

// The main window: three lists side by side, the print settings page, the file commands.
// The list views are the document; every action is one of the handlers below.
class MainWindow final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    static constexpr char16_t kTitle[] = u"TALVEN Einkaufsliste 1.3";
    static constexpr char16_t kDefaultFile[] = u"korbana.kbl";

    // programDir: the folder of the default list file and the help file; empty means the program's own folder.
    explicit MainWindow(Dialogs& dialogs, const QString& programDir = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    Dialogs& dialogs() const { return m_dialogs; }
    // The program directory, always ending in "/".
    QString programDirectory() const { return m_programDir; }
    // Full path of the list file last opened or saved, empty for a document without a file.
    QString documentName() const { return m_documentName; }

    ListModel* stores() const { return m_stores; }
    ListModel* products() const { return m_products; }
    ListModel* shopping() const { return m_shopping; }

    const PrintFont& printFont() const { return m_printFont; }
    void setPrintFont(const PrintFont& font) { m_printFont = font; }
    // Margins in whole millimetres as the fields read them: text that is no whole number gives 0.
    int leftMargin() const;
    int topMargin() const;
    int rightMargin() const;
    int bottomMargin() const;

    // Sort state of one list, not stored.
    struct SortState
    {
        int column = 0;
        bool flag = false;
    };
    SortState sortState(int list) const { return m_sort[list]; }

    // Sets the status bar from the Shopping list's count.
    void refreshStatusText();
    // Stores what an open in-place edit box of any list holds, so that saving and printing take what the user sees.
    void commitEdits();

    // The other windows, created once by the main routine.
    AboutDialog* AboutBox = nullptr;
    ProductDialog* ArtikelForm = nullptr;

    // Controls, named as their roles.
    QAction* Neu1 = nullptr;
    QAction* ffnen1 = nullptr;
    QAction* Speichern1 = nullptr;
    QAction* Speichernunter1 = nullptr;
    QAction* CSVExport1 = nullptr;
    QAction* CSVImport1 = nullptr;
    QAction* Druckereinrichten1 = nullptr;
    QAction* Drucken1 = nullptr;
    QAction* Beenden1 = nullptr;
    QAction* Hilfe2 = nullptr;
    QAction* berdasProgramm1 = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolButton* ToolButton1 = nullptr;
    QToolButton* ToolButton2 = nullptr;
    QToolButton* ToolButton3 = nullptr;
    QToolButton* ToolButton4 = nullptr;
    QToolButton* ToolButton7 = nullptr;
    QToolButton* ToolButton11 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QSplitter* Splitters = nullptr;
    SidePanel* Panel1Laeden = nullptr;
    SidePanel* Panel1Produkte = nullptr;
    QWidget* Panel7 = nullptr;
    QToolButton* PlusLaedenBtn = nullptr;
    QToolButton* MinusLaedenBtn = nullptr;
    QToolButton* DelList1 = nullptr;
    QToolButton* PlusProdukteBtn = nullptr;
    QToolButton* MinusProdukteBtn = nullptr;
    QToolButton* DelList2 = nullptr;
    QToolButton* PropEd = nullptr;
    QToolButton* PlusEinkaufBtn = nullptr;
    QToolButton* MinusEinkaufBtn = nullptr;
    QToolButton* DelList3 = nullptr;
    SpinEdit* PreisED = nullptr;
    QLineEdit* CurrEd = nullptr;
    ListView* ListView1 = nullptr;
    ListView* ListView2 = nullptr;
    ListView* ListView3 = nullptr;
    BitmapButton* FontBtn = nullptr;
    SpinEdit* leftREd = nullptr;
    SpinEdit* TopREd = nullptr;
    SpinEdit* RightREd = nullptr;
    SpinEdit* BottomREd = nullptr;
    // The stored print font, as the settings see it (an object with the font's properties).
    QObject* FontDialog1 = nullptr;
    // Keeps placement and chosen properties between runs; a child of the window.
    WindowStateStore* FormStorage1 = nullptr;

    FileDialogOptions OpenDialog1;
    FileDialogOptions SaveDialog1;
    FileDialogOptions CSVOpenDialog1 { FileDialogOptions::Mode::Open, QStringLiteral("CSV-Dateien (*.csv)"),
        QStringLiteral("csv"), false, {} };
    FileDialogOptions CSVSaveDialog1 { FileDialogOptions::Mode::Save, QStringLiteral("CSV-Dateien (*.csv)"),
        QStringLiteral("csv"), true, {} };

public Q_SLOTS:
    // The document and its life.
    void FormCreate();
    void FormCloseQuery(bool& canClose);
    void OpenLists(const QString& path);
    // True when the file was written whole; on failure the old file is untouched and the user was told.
    bool SaveLists(const QString& path);
    void Neu1Click();
    void ffnen1Click();
    void Speichern1Click();
    void Speichernunter1Click();
    void Beenden1Click();
    void CSVExport1Click();
    void CSVImport1Click();
    void Druckereinrichten1Click();
    void Drucken1Click();
    void Hilfe2Click();
    void berdasProgramm1Click();
    void FontBtnClick();

    // Editing the lists.
    void PlusLaedenBtnClick();
    void MinusLaedenBtnClick();
    void DelList1Click();
    void PlusProdukteBtnClick();
    void MinusProdukteBtnClick();
    void DelList2Click();
    void PropEdClick();
    void PlusEinkaufBtnClick();
    void MinusEinkaufBtnClick();
    void DelList3Click();
    void ListView1KeyDown(int key);
    void ListView2KeyDown(int key);
    void ListView3KeyDown(int key);
    void ListView1DblClick();
    void ListView2DblClick();
    void ListView3DblClick();
    void ListView2Changing();

    // Sorting by a column header.
    void ListView1ColumnClick(int column);
    void ListView2ColumnClick(int column);
    void ListView3ColumnClick(int column);
    int ListView1Compare(const Entry& first, const Entry& second) const;
    int ListView2Compare(const Entry& first, const Entry& second) const;
    int ListView3Compare(const Entry& first, const Entry& second) const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void buildMenu();
    void buildToolBar();
    void buildListsPage();
    void buildSettingsPage();
    void setDocumentName(const QString& path);
    // Yes: save (under the name, or through the save dialog). False when the command must stop.
    bool saveStep();
    // The unsaved-data question; false when the command must stop (Cancel, cancelled or failed save).
    bool askToSave(const QString& title);

    // Settings: restore on the first showing, save on an allowed close, and from the destruction if none ran.
    void createFormStorage();
    void formStorageRestore();
    void formStorageSave();
    void formStorageDestroy();

    Dialogs& m_dialogs;
    QString m_programDir;
    QString m_documentName;
    ListModel* m_stores = nullptr;
    ListModel* m_products = nullptr;
    ListModel* m_shopping = nullptr;
    PrintFont m_printFont;
    SortState m_sort[3];
    bool m_shown = false;
    bool m_closeAllowed = false;
};
