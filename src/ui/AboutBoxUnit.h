#pragma once

#include <QDialog>

// "Info": the maker, the year and the web address.
class TAboutBox final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TAboutBox)

public:
    explicit TAboutBox(QWidget* parent = nullptr);
};
