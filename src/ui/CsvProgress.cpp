#include "CsvProgress.h"

#include "Dialogs.h"

#include <QProgressDialog>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <future>

namespace korbana {

std::optional<CsvContent> readCsvWithProgress(const QString& path, Dialogs& dialogs, QWidget* parent)
{
    CsvReadControl control;
    std::future<CsvContent> reading
        = std::async(std::launch::async, [path, &control] { return readCsvFile(path, &control); });
    using namespace std::chrono_literals;
    if (reading.wait_for(500ms) != std::future_status::ready) {
        QProgressDialog progress(
            QStringLiteral("Die CSV-Datei wird gelesen …"), QStringLiteral("Abbrechen"), 0, 1000, parent);
        progress.setWindowTitle(QStringLiteral("CSV Import"));
        progress.setMinimumDuration(0);
        progress.setAutoClose(false);
        progress.setAutoReset(false);
        QTimer poll;
        poll.callOnTimeout(&progress, [&] {
            if (reading.wait_for(0ms) == std::future_status::ready)
                progress.accept();
            else
                progress.setValue(std::min(999, control.permille.load()));
        });
        poll.start(50);
        if (dialogs.exec(&progress) != QDialog::Accepted) {
            control.cancel = true;
            reading.wait();
            return std::nullopt;
        }
    }
    return reading.get();
}

} // namespace korbana
