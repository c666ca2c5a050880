#pragma once

#include <QString>

namespace korbana {

// A name that came from the file system, made safe to show inside a text: a line break in a file name would add
// lines of its own to a question, and a direction mark would turn the rest around. Each such character shows as
// U+FFFD.
QString oneLine(const QString& text);
// A path as the user reads it: the system's separators, on one line.
QString shownPath(const QString& path);

} // namespace korbana
