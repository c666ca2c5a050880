#pragma once

#include <QDialog>

class Dialogs;
class HeaderBar;
class QLabel;
class BitmapButton;

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

    HeaderBar* Panel1 = nullptr;
    QLabel* ProgramIcon = nullptr;
    QLabel* ProductName = nullptr;
    QLabel* Copyright = nullptr;
    QLabel* Comments = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    BitmapButton* BitBtnXP1 = nullptr;
    BitmapButton* BitBtn1 = nullptr;

public Q_SLOTS:
    // Runs once, from the constructor: the year of the program's start goes into the ownership line.
    void FormCreate();
    void BitBtnXP1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    Dialogs& m_dialogs;
};
