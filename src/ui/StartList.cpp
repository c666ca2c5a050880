#include "StartList.h"

#include <QtGlobal>

namespace korbana {

StartList StartList::atStart(const QString& commandLineFile, const QString& defaultListPath)
{
    StartList start;
    start.named = !commandLineFile.isEmpty();
    start.path = start.named ? commandLineFile : defaultListPath;
    if (qEnvironmentVariableIsSet(kHandOverVariable)) {
        start.handedOver = qEnvironmentVariable(kHandOverVariable).split(u',', Qt::SkipEmptyParts);
        qunsetenv(kHandOverVariable);
    }
    return start;
}

} // namespace korbana
