#include "ProductDialog.h"

#include "Dialogs.h"

#include "controls/BitmapButton.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>

ProductDialog::ProductDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("TArtikelForm"));
    setWindowTitle(QStringLiteral("Artikel bearbeiten"));
    setFixedSize(275, 168);
    Label1 = new QLabel(QStringLiteral("Name:"), this);
    Label1->setGeometry(8, 8, 257, 16);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(8, 24, 257, 21);
    Label2 = new QLabel(QStringLiteral("Preis:"), this);
    Label2->setGeometry(8, 56, 257, 16);
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setGeometry(8, 72, 257, 21);
    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    Bevel1->setGeometry(8, 112, 259, 2);
    // Their kinds give captions, glyphs, the Enter and Escape roles and the results that close the dialog.
    BitBtn1 = new BitmapButton(this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(56, 128, 75, 25);
    BitBtn1->setKind(ButtonKind::Ok);
    BitBtn2 = new BitmapButton(this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(144, 128, 75, 25);
    BitBtn2->setKind(ButtonKind::Cancel);
}

void ProductDialog::showEvent(QShowEvent* event)
{
    centreOnScreen(this);
    // The name is ready to be typed over, as an edit field entered with the keyboard is.
    Edit1->setFocus(Qt::TabFocusReason);
    Edit1->selectAll();
    QDialog::showEvent(event);
}
