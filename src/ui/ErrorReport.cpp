#include "ErrorReport.h"

#include "Dialogs.h"

namespace korbana {

QString errorReportText(const QString& text)
{
    if (!text.isEmpty() && text.back() > u'.')
        return text + u'.';
    return text;
}

void reportApplicationError(Dialogs& dialogs, const QString& text)
{
    dialogs.message(nullptr, errorReportText(text), QString::fromUtf16(kApplicationTitle), QMessageBox::Critical,
        QMessageBox::Ok, QMessageBox::Ok);
}

KorbanaApplication::KorbanaApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

bool KorbanaApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const KorbanaError& error) {
        if (m_dialogs)
            korbana::reportApplicationError(*m_dialogs, error.text());
    } catch (const std::exception& error) {
        if (m_dialogs)
            korbana::reportApplicationError(*m_dialogs, QString::fromUtf8(error.what()));
    }
    return false;
}

} // namespace korbana
