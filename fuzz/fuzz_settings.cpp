// The reading of stored settings on an arbitrary settings file: no crash, no leak, no runaway; every value read
// converts to a property of each kind or is refused, and a stored real reads back to the same value.
#include "settings/PropertyStore.h"
#include "settings/SettingsStore.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QMetaProperty>
#include <QObject>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace korbana;

namespace {

// One property of every kind the stored settings know.
class Sample final : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int Width MEMBER m_width)
    Q_PROPERTY(double Value MEMBER m_value)
    Q_PROPERTY(QString Text MEMBER m_text)
    Q_PROPERTY(Pitch FontPitch MEMBER m_pitch)
    Q_PROPERTY(Styles FontStyle READ styles WRITE setStyles)

public:
    enum Pitch { fpDefault, fpVariable, fpFixed };
    Q_ENUM(Pitch)
    enum Style { fsBold = 0x1, fsItalic = 0x2, fsUnderline = 0x4, fsStrikeOut = 0x8 };
    Q_DECLARE_FLAGS(Styles, Style)
    Q_FLAG(Styles)

    Styles styles() const { return m_styles; }
    void setStyles(Styles styles) { m_styles = styles; }

private:
    int m_width = 145;
    double m_value = 15;
    QString m_text = QStringLiteral("EUR");
    Pitch m_pitch = fpDefault;
    Styles m_styles;
};

const QString kSection = QStringLiteral("TMainForm");
const QStringList kNames = { QStringLiteral("FormVersion"), QStringLiteral("Flags"), QStringLiteral("ShowCmd"),
    QStringLiteral("PixelsPerInch"), QStringLiteral("MinMaxPos(1024x768)"), QStringLiteral("MinMaxPos"),
    QStringLiteral("NormPos(1024x768)"), QStringLiteral("NormPos"), QStringLiteral("leftREd_Value"),
    QStringLiteral("CurrEd_Text"), QStringLiteral("FontDialog1_FontStyle"), QStringLiteral("FontDialog1_FontPitch"),
    QStringLiteral("Panel1Laeden_Width") };

void readAll(korbana::SettingsStore& store, Sample& sample)
{
    const QMetaObject* meta = sample.metaObject();
    for (const QString& name : kNames) {
        const QString text = korbana::trimControls(store.readString(kSection, name, QStringLiteral("15")));
        store.readInteger(kSection, name, 0);
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
            PropertyStore::setPropertyText(&sample, meta->property(i), text);
        double value = 0;
        if (korbana::parseStoredReal(text, value)) {
            double again = 0;
            if (!korbana::parseStoredReal(korbana::storedRealText(value), again) || again != value)
                std::abort(); // a real the program stores would not read back as the same value
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir folder;
    static const QString path = folder.filePath(QStringLiteral("korbana.conf"));
    static qint64 run = 0;
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
        // The settings store caches a file until its time stamp changes: a new one for every input.
        file.setFileTime(QDateTime::fromSecsSinceEpoch(++run, Qt::UTC), QFileDevice::FileModificationTime);
    }
    korbana::SettingsStore::setFileOverride(path);
    Sample sample;
    {
        korbana::SettingsStore store;
        try {
            store.open();
            readAll(store, sample);
        } catch (const korbana::SettingsError&) {
            // A value that is no text: the restore reports it and goes on.
        }
    }
    return 0;
}

#include "fuzz_settings.moc"
