#pragma once

#include <QDialog>

class QLineEdit;

namespace korbana {

// "Artikel bearbeiten": a product's name and price text. It holds no logic; the main window fills and reads it.
class ProductDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProductDialog)

public:
    explicit ProductDialog(QWidget* parent = nullptr);

    void setProduct(const QString& name, const QString& price);
    QString name() const;
    QString price() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* m_nameEdit = nullptr;
    QLineEdit* m_priceEdit = nullptr;
};

} // namespace korbana
