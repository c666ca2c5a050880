#include "ShownNames.h"

#include <QDir>

namespace korbana {

QString oneLine(const QString& text)
{
    QString shown = text;
    for (QChar& c : shown) {
        switch (c.category()) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            c = QChar::ReplacementCharacter;
            break;
        default:
            break;
        }
    }
    return shown;
}

QString shownPath(const QString& path)
{
    return oneLine(QDir::toNativeSeparators(path));
}

} // namespace korbana
