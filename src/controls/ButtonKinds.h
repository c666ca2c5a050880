#pragma once

#include <QImage>

namespace korbana {

// A kind sets a button's caption, glyph, Enter and Escape roles and modal result at once.
enum class ButtonKind { Custom, Ok, Cancel, Help, Yes, No, Close, Abort, Retry, Ignore, All };

// The modal results the kinds set. A button's modal result is a plain number: any other value is a result too,
// handed to its dialog unchanged, so these stay ints.
namespace ModalResult {
enum : int { None = 0, Ok, Cancel, Abort, Retry, Ignore, Yes, No, All };
}

struct ButtonKindInfo
{
    const char16_t* caption;
    const char* glyphResource; // name of the bitmap in ":/glyphs/", without ".bmp"
    int modalResult;
    bool isDefault;
    bool isCancel;
};
const ButtonKindInfo& buttonKindInfo(ButtonKind kind);
// The kind's bitmap (normal and disabled side by side), loaded on first use and kept until the program ends.
QImage buttonKindGlyph(ButtonKind kind);

// What a QDialog's exec() returns for a button's modal result: OK accepts (QDialog::Accepted), Cancel rejects
// (QDialog::Rejected); every other result is handed on unchanged.
int dialogResultFor(int modalResult);

} // namespace korbana
