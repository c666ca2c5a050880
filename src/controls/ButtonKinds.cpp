#include "ButtonKinds.h"

#include "Pictures.h"

#include <QDialog>

#include <array>

namespace korbana {

namespace {

// German like every other text of the program, whatever the system's language.
constexpr std::array<ButtonKindInfo, 11> kKinds { {
    { u"", "", ModalResult::None, false, false },
    { u"OK", "BBOKX", ModalResult::Ok, true, false },
    { u"Abbrechen", "BBCANCELX", ModalResult::Cancel, false, true },
    { u"&Hilfe", "BBHELPX", ModalResult::None, false, false },
    { u"&Ja", "BBYESX", ModalResult::Yes, true, false },
    { u"&Nein", "BBNOX", ModalResult::No, false, true },
    { u"&Schließen", "BBCLOSEX", ModalResult::None, false, false },
    { u"Abbrechen", "BBABORTX", ModalResult::Abort, false, false },
    { u"&Wiederholen", "BBRETRYX", ModalResult::Retry, false, false },
    { u"&Ignorieren", "BBIGNOREX", ModalResult::Ignore, false, false },
    { u"&Alle", "BBALLX", ModalResult::All, false, false },
} };

} // namespace

const ButtonKindInfo& buttonKindInfo(ButtonKind kind)
{
    return kKinds[std::size_t(kind)];
}

QImage buttonKindGlyph(ButtonKind kind)
{
    static std::array<QImage, kKinds.size()> glyphs;
    static std::array<bool, kKinds.size()> loaded {};
    const auto i = std::size_t(kind);
    if (kind == ButtonKind::Custom)
        return {};
    if (!loaded[i]) {
        glyphs[i] = Pictures::read(
            QStringLiteral(":/glyphs/") + QLatin1String(kKinds[i].glyphResource) + QStringLiteral(".bmp"), "bmp");
        loaded[i] = true;
    }
    return glyphs[i];
}

int dialogResultFor(int modalResult)
{
    switch (modalResult) {
    case ModalResult::Ok:
        return QDialog::Accepted;
    case ModalResult::Cancel:
        return QDialog::Rejected;
    default:
        return modalResult;
    }
}

} // namespace korbana
