#include "ListFile.h"

#include "lists/ListModel.h"

namespace korbana {

ReadResult readListFile(const QString&, const ListSet&)
{
    return ReadResult::CannotOpen;
}

ReadResult parseListFile(QByteArrayView, const ListSet&)
{
    return ReadResult::BadFormat;
}

QByteArray encodeListFile(const ListSet&)
{
    return {};
}

WriteResult writeListFile(const QString&, const ListSet&)
{
    return WriteResult::CannotCreate;
}

QString messageText(ReadResult result)
{
    return result == ReadResult::CannotOpen ? QStringLiteral("Konnte die Datei nicht öffnen.")
                                            : QStringLiteral("Fehler beim Öffnen der Datei (Ungültiges Format?).");
}

QString messageTitle(ReadResult)
{
    return QStringLiteral("Fehler beim Öffnen");
}

QString messageText(WriteResult result)
{
    return result == WriteResult::CannotCreate ? QStringLiteral("Konnte die Datei nicht erstellen.")
                                               : QStringLiteral("Konnte die Datei nicht vollständig schreiben.");
}

QString messageTitle(WriteResult)
{
    return QStringLiteral("Fehler beim Speichern");
}

} // namespace korbana
