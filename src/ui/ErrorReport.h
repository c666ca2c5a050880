#pragma once

#include <QApplication>
#include <QString>

#include <stdexcept>

namespace korbana {

class Dialogs;

// An error meant for the user: its text is German and is shown as it stands.
class KorbanaError : public std::runtime_error
{
public:
    explicit KorbanaError(const QString& text)
        : std::runtime_error(text.toStdString())
    {
    }
    QString text() const { return QString::fromStdString(what()); }
};

inline constexpr char16_t kApplicationTitle[] = u"Einkaufsliste 1.2";

// The text of an error report: a "." is appended when the last character comes after "." in code order.
QString errorReportText(const QString& text);

// Shows an error that escaped a handler: its text, the application title, the error icon, OK.
void reportApplicationError(Dialogs& dialogs, const QString& text);

// Catches what escapes an event handler and reports it; the program goes on.
class KorbanaApplication final : public QApplication
{
public:
    KorbanaApplication(int& argc, char** argv);
    void setDialogs(Dialogs* dialogs) { m_dialogs = dialogs; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    Dialogs* m_dialogs = nullptr;
};

} // namespace korbana
