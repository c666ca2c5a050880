#pragma once

#include <QDialog>

class QLabel;

namespace korbana {

class Dialogs;

// "Info": the maker, the year and the web address.
class AboutDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AboutDialog)

public:
    static constexpr char16_t kWebAddress[] = u"https://www.talven.example";
    static constexpr char16_t kMail[] = u"info@talven.example";

    explicit AboutDialog(Dialogs& dialogs, QWidget* parent = nullptr);

    // The first "XXXX" of caption replaced by the year, written without leading zeros.
    static QString withYear(const QString& caption, int year);

    // The ownership line as shown, with the year of the program's start.
    QString copyrightText() const;

public Q_SLOTS:
    void openWebsite();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    Dialogs& m_dialogs;
    QLabel* m_picture = nullptr;
    QLabel* m_copyright = nullptr;
};

} // namespace korbana
