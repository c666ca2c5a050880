#pragma once

namespace korbana {

// The interface is German whatever the system's language, so Qt's own buttons and dialogs ("Ja", "Nein",
// "Abbrechen", the print and file dialogs) speak German too. Numbers keep following the locale.
// Returns false when Qt's German translation is not installed (qt6-translations-l10n).
bool installGermanQtTranslations();

} // namespace korbana
