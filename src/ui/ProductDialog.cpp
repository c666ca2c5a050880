#include "ProductDialog.h"

#include "Dialogs.h"

#include "controls/BitmapButton.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>

namespace korbana {

ProductDialog::ProductDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("productDialog"));
    setWindowTitle(QStringLiteral("Artikel bearbeiten"));
    setFixedSize(275, 168);
    auto* nameLabel = new QLabel(QStringLiteral("Name:"), this);
    nameLabel->setObjectName(QStringLiteral("nameLabel"));
    nameLabel->setGeometry(8, 8, 257, 16);
    m_nameEdit = new QLineEdit(this);
    m_nameEdit->setObjectName(QStringLiteral("nameEdit"));
    m_nameEdit->setGeometry(8, 24, 257, 21);
    auto* priceLabel = new QLabel(QStringLiteral("Preis:"), this);
    priceLabel->setObjectName(QStringLiteral("priceLabel"));
    priceLabel->setGeometry(8, 56, 257, 16);
    m_priceEdit = new QLineEdit(this);
    m_priceEdit->setObjectName(QStringLiteral("priceEdit"));
    m_priceEdit->setGeometry(8, 72, 257, 21);
    // A screen reader names each field by its label.
    nameLabel->setBuddy(m_nameEdit);
    priceLabel->setBuddy(m_priceEdit);
    auto* bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("bevel"));
    bevel->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    bevel->setGeometry(8, 112, 259, 2);
    // Their kinds give captions, glyphs, the Enter and Escape roles and the results that close the dialog.
    auto* okButton = new BitmapButton(this);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setGeometry(56, 128, 75, 25);
    okButton->setKind(ButtonKind::Ok);
    auto* cancelButton = new BitmapButton(this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    cancelButton->setGeometry(144, 128, 75, 25);
    cancelButton->setKind(ButtonKind::Cancel);
}

void ProductDialog::setProduct(const QString& name, const QString& price)
{
    m_nameEdit->setText(name);
    m_priceEdit->setText(price);
}

QString ProductDialog::name() const
{
    return m_nameEdit->text();
}

QString ProductDialog::price() const
{
    return m_priceEdit->text();
}

void ProductDialog::showEvent(QShowEvent* event)
{
    centreOnScreen(this);
    // The name is ready to be typed over, as an edit field entered with the keyboard is.
    m_nameEdit->setFocus(Qt::TabFocusReason);
    m_nameEdit->selectAll();
    QDialog::showEvent(event);
}

} // namespace korbana
