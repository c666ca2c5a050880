// The main window's stored settings: its placement and the properties kept under its section.
#include "WindowSettings.h"

#include "ErrorReport.h"
#include "print/PrintFont.h"
#include "settings/StoredNames.h"
#include "settings/WindowStateStore.h"

#include <QWidget>

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

    StoredPrintFont(PrintFont* font, QObject* parent)
        : QObject(parent)
        , m_font(font)
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
    const PrintFont& font() const { return *m_font; }
    template<typename Change> void change(Change how) { how(*m_font); }
    PrintFont* m_font;
};

// The font dialog as the settings see it: its font is the window's print font.
class StoredFontDialog final : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QObject* Font READ font CONSTANT)

public:
    StoredFontDialog(PrintFont* font, QObject* parent)
        : QObject(parent)
        , m_font(new StoredPrintFont(font, this))
    {
    }
    QObject* font() const { return m_font; }

private:
    StoredPrintFont* m_font;
};

WindowStateStore* createWindowSettings(QWidget* window, PrintFont* printFont, Dialogs& dialogs)
{
    using namespace StoredNames;
    auto* fontSettings = new StoredFontDialog(printFont, window);
    fontSettings->setObjectName(QString::fromUtf16(kPrintFont));

    auto* state = new WindowStateStore(window);
    state->setObjectName(QStringLiteral("windowState"));
    state->setSection(QString::fromUtf16(kMainWindowSection));
    state->setOptions(WindowPlacement::fpState | WindowPlacement::fpPosition);
    state->setVersion(0);
    state->setActive(true);
    auto entry = [](const char16_t* component, const char* property) -> QString {
        return QString::fromUtf16(component) + u'.' + QLatin1String(property);
    };
    state->setStoredProps({ entry(kRightMargin, "Value"), entry(kTopMargin, "Value"), entry(kLeftMargin, "Value"),
        entry(kBottomMargin, "Value"), entry(kPrintFont, "Font"), entry(kCurrencyField, "Text"),
        entry(kPriceField, "Value"), entry(kStoresPanel, "Width"), entry(kProductsPanel, "Width") });
    state->setErrorReporter([&dialogs](const QString& text) { reportApplicationError(dialogs, text); });
    state->resolveStoredProps();
    return state;
}

} // namespace korbana

#include "WindowSettings.moc"
