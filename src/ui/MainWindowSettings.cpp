// The stored settings of the main window.
#include "ErrorReport.h"
#include "MainWindow.h"
#include "lists/ListModel.h"
#include "lists/ListView.h"
#include "settings/StoredNames.h"
#include "settings/WindowStateStore.h"

#include <QUndoStack>

#include <algorithm>
#include <cstdlib>

namespace korbana {

// A stored print font larger than this would print a page of blocks with no text: two inches, a few letters of
// which still fit across the narrowest page with the widest margins. Larger stored sizes give the design font.
constexpr int kLargestPrintPoints = 144;

// The print font as the settings see it: the font dialog's font with its seven properties. The property and
// enumerator names are part of the stored format ("FontDialog1_FontSize", "fpDefault", "[fsBold]").
class StoredPrintFont final : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int Charset READ charset WRITE setCharset)
    Q_PROPERTY(int Color READ color WRITE setColor)
    Q_PROPERTY(int Height READ height WRITE setHeight)
    Q_PROPERTY(QString Name READ name WRITE setName)
    Q_PROPERTY(FontPitch Pitch READ pitch WRITE setPitch)
    Q_PROPERTY(int Size READ size WRITE setSize)
    Q_PROPERTY(FontStyles Style READ style WRITE setStyle)

public:
    enum FontPitch { fpDefault, fpVariable, fpFixed };
    Q_ENUM(FontPitch)
    enum FontStyle { fsBold = 0x1, fsItalic = 0x2, fsUnderline = 0x4, fsStrikeOut = 0x8 };
    Q_DECLARE_FLAGS(FontStyles, FontStyle)
    Q_FLAG(FontStyles)

    StoredPrintFont(MainWindow* window, QObject* parent)
        : QObject(parent)
        , m_window(window)
    {
    }

    int charset() const { return font().charset; }
    void setCharset(int value)
    {
        change([value](PrintFont& f) { f.charset = std::clamp(value, 0, 255); });
    }
    int color() const { return font().color; }
    void setColor(int value)
    {
        change([value](PrintFont& f) { f.color = value; });
    }
    int height() const { return font().height; }
    void setHeight(int value)
    {
        const int ppi = WindowPlacement::screenPixelsPerInch();
        const bool printable = std::abs(qint64(value)) <= qint64(kLargestPrintPoints) * ppi / 72;
        change([value, ppi, printable](PrintFont& f) { f.setHeight(printable ? value : PrintFont().height, ppi); });
    }
    QString name() const { return font().name; }
    void setName(const QString& value)
    {
        change([&value](PrintFont& f) { f.name = value; });
    }
    FontPitch pitch() const { return static_cast<FontPitch>(font().pitch); }
    void setPitch(FontPitch value)
    {
        change([value](PrintFont& f) { f.pitch = static_cast<PrintFont::Pitch>(value); });
    }
    int size() const { return font().size; }
    void setSize(int value)
    {
        const bool printable = value >= 0 && value <= kLargestPrintPoints;
        change([value, printable](PrintFont& f) {
            f.setSize(printable ? value : PrintFont().size, WindowPlacement::screenPixelsPerInch());
        });
    }
    FontStyles style() const
    {
        const PrintFont& f = font();
        FontStyles styles;
        styles.setFlag(fsBold, f.bold);
        styles.setFlag(fsItalic, f.italic);
        styles.setFlag(fsUnderline, f.underline);
        styles.setFlag(fsStrikeOut, f.strikeOut);
        return styles;
    }
    void setStyle(FontStyles value)
    {
        change([value](PrintFont& f) {
            f.bold = value.testFlag(fsBold);
            f.italic = value.testFlag(fsItalic);
            f.underline = value.testFlag(fsUnderline);
            f.strikeOut = value.testFlag(fsStrikeOut);
        });
    }

private:
    const PrintFont& font() const { return m_window->printFont(); }
    template<typename Change> void change(Change how)
    {
        PrintFont f = m_window->printFont();
        how(f);
        m_window->setPrintFont(f);
    }
    MainWindow* m_window;
};

// The font dialog as the settings see it: its font is the window's print font.
class StoredFontDialog final : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QObject* Font READ font CONSTANT)

public:
    explicit StoredFontDialog(MainWindow* window)
        : QObject(window)
        , m_font(new StoredPrintFont(window, this))
    {
    }
    QObject* font() const { return m_font; }

private:
    StoredPrintFont* m_font;
};

void MainWindow::createWindowState()
{
    using namespace StoredNames;
    auto* fontSettings = new StoredFontDialog(this);
    fontSettings->setObjectName(QString::fromUtf16(kPrintFont));

    m_windowState = new WindowStateStore(this);
    m_windowState->setObjectName(QStringLiteral("windowState"));
    m_windowState->setSection(QString::fromUtf16(kMainWindowSection));
    m_windowState->setOptions(WindowPlacement::fpState | WindowPlacement::fpPosition);
    m_windowState->setVersion(0);
    m_windowState->setActive(true);
    auto entry = [](const char16_t* component, const char* property) -> QString {
        return QString::fromUtf16(component) + u'.' + QLatin1String(property);
    };
    m_windowState->setStoredProps(
        { entry(kRightMargin, "Value"), entry(kTopMargin, "Value"), entry(kLeftMargin, "Value"),
            entry(kBottomMargin, "Value"), entry(kPrintFont, "Font"), entry(kCurrencyField, "Text"),
            entry(kPriceField, "Value"), entry(kStoresPanel, "Width"), entry(kProductsPanel, "Width") });
    m_windowState->setErrorReporter([this](const QString& text) { korbana::reportApplicationError(m_dialogs, text); });
    m_windowState->resolveStoredProps();
}

void MainWindow::restoreWindowState()
{
    m_windowState->restore();
}

void MainWindow::saveWindowState()
{
    m_windowState->closeSave();
}

MainWindow::~MainWindow()
{
    // A window that goes without an allowed close (the tests, a lost session) still keeps its settings.
    m_windowState->destroySave();
    // Closing the window below commits a name still being typed; by then this is no MainWindow any more, so the
    // document must not call back into it.
    disconnect(m_document, nullptr, this, nullptr);
    // The history empties itself when the document goes, and the Edit menu's texts must not follow it then.
    disconnect(history(), nullptr, this, nullptr);
    // Such a name goes straight into its list, not through the window's handler.
    for (ListView* view : { m_storesView, m_productsView, m_shoppingView }) {
        view->setRenameHandler(nullptr);
        disconnect(view, nullptr, this, nullptr);
    }
}

} // namespace korbana

#include "MainWindowSettings.moc"
