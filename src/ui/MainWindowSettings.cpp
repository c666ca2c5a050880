// The stored settings of the main window.
#include "ErrorReport.h"
#include "MainWindow.h"
#include "settings/WindowStateStore.h"

#include <algorithm>

// The print font as the settings see it: the font dialog's font with its seven properties.
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

    StoredPrintFont(MainWindow* form, QObject* parent)
        : QObject(parent)
        , m_form(form)
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
        change([value](PrintFont& f) { f.setHeight(value, WindowPlacement::screenPixelsPerInch()); });
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
        change([value](PrintFont& f) { f.setSize(value, WindowPlacement::screenPixelsPerInch()); });
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
    const PrintFont& font() const { return m_form->printFont(); }
    template<typename Change> void change(Change how)
    {
        PrintFont f = m_form->printFont();
        how(f);
        m_form->setPrintFont(f);
    }
    MainWindow* m_form;
};

// The font dialog as the settings see it: its font is the window's print font.
class StoredFontDialog final : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QObject* Font READ font CONSTANT)

public:
    explicit StoredFontDialog(MainWindow* form)
        : QObject(form)
        , m_font(new StoredPrintFont(form, this))
    {
    }
    QObject* font() const { return m_font; }

private:
    StoredPrintFont* m_font;
};

void MainWindow::createFormStorage()
{
    FontDialog1 = new StoredFontDialog(this);
    FontDialog1->setObjectName(QStringLiteral("FontDialog1"));

    FormStorage1 = new WindowStateStore(this);
    FormStorage1->setObjectName(QStringLiteral("FormStorage1"));
    FormStorage1->setOptions(WindowPlacement::fpState | WindowPlacement::fpPosition);
    FormStorage1->setVersion(0);
    FormStorage1->setActive(true);
    FormStorage1->setStoredProps({ QStringLiteral("RightREd.Value"), QStringLiteral("TopREd.Value"),
        QStringLiteral("leftREd.Value"), QStringLiteral("BottomREd.Value"), QStringLiteral("FontDialog1.Font"),
        QStringLiteral("CurrEd.Text"), QStringLiteral("PreisED.Value"), QStringLiteral("Panel1Laeden.Width"),
        QStringLiteral("Panel1Produkte.Width") });
    FormStorage1->setErrorReporter([this](const QString& text) { korbana::reportApplicationError(m_dialogs, text); });
    FormStorage1->resolveStoredProps();
}

void MainWindow::formStorageRestore()
{
    FormStorage1->restore();
}

void MainWindow::formStorageSave()
{
    FormStorage1->closeSave();
}

void MainWindow::formStorageDestroy()
{
    FormStorage1->destroySave();
}

#include "MainWindowSettings.moc"
