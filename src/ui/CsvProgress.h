#pragma once

#include "document/Csv.h"

#include <optional>

class QWidget;

namespace korbana {

class Dialogs;

// Reads the CSV file at path on a worker thread, so that a large file does not freeze the window. Most files are
// read before the progress dialog would appear; it shows after half a second, and its "Abbrechen" gives nullopt.
std::optional<CsvContent> readCsvWithProgress(const QString& path, Dialogs& dialogs, QWidget* parent);

} // namespace korbana
