#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace korbana {

// Windows-1252, the code page of existing list files. Every byte decodes to one character: the five bytes the code
// page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control characters of the same value, so any byte
// sequence survives a decode and an encode unchanged.

QString decodeWindows1252(QByteArrayView bytes);

// Whether every character of the text has a Windows-1252 byte.
bool canEncodeWindows1252(QStringView text);

// Writes the text's bytes, one per character, to dest; false at the first character the code page cannot hold.
bool writeWindows1252(QStringView text, char* dest);

// Appends the bytes of the text to out. Returns false, with out holding only the bytes of the characters before it,
// at the first character the code page cannot hold: nothing is ever replaced.
bool appendWindows1252(QStringView text, QByteArray& out);

// The bytes of the text; an empty array and *ok false when a character cannot be encoded.
QByteArray encodeWindows1252(QStringView text, bool* ok = nullptr);

} // namespace korbana
