#include "ButtonKinds.h"

#include "Pictures.h"

#include <QDialog>

#include <array>

namespace korbana {

namespace {

constexpr std::array<ButtonKindInfo, 11> kKinds { {
    { u"", "", ModalResult::None, false, false },
    { u"OK", "BBOKX", ModalResult::Ok, true, false },
    { u"Cancel", "BBCANCELX", ModalResult::Cancel, false, true },
    { u"&Help", "BBHELPX", ModalResult::None, false, false },
    { u"&Yes", "BBYESX", ModalResult::Yes, true, false },
    { u"&No", "BBNOX", ModalResult::No, false, true },
    { u"&Close", "BBCLOSEX", ModalResult::None, false, false },
    { u"Abort", "BBABORTX", ModalResult::Abort, false, false },
    { u"&Retry", "BBRETRYX", ModalResult::Retry, false, false },
    { u"&Ignore", "BBIGNOREX", ModalResult::Ignore, false, false },
    { u"&All", "BBALLX", ModalResult::All, false, false },
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
