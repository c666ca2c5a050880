#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class BitmapButton;

// "Artikel bearbeiten": a product's name and price text. It holds no logic; PropEdClick fills and reads it.
class ProductDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProductDialog)

public:
    explicit ProductDialog(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QFrame* Bevel1 = nullptr;
    BitmapButton* BitBtn1 = nullptr;
    BitmapButton* BitBtn2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};
