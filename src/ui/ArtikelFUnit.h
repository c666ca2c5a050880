#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class TBitBtnXP;

// "Artikel bearbeiten": a product's name and price text. It holds no logic; PropEdClick fills and reads it.
class TArtikelForm final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TArtikelForm)

public:
    explicit TArtikelForm(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QFrame* Bevel1 = nullptr;
    TBitBtnXP* BitBtn1 = nullptr;
    TBitBtnXP* BitBtn2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};
