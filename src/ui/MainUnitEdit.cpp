// The commands that fill, change and sort the three lists.
#include "MainUnit.h"

#include "lists/ListModel.h"

void TMainForm::PlusLaedenBtnClick() { }
void TMainForm::MinusLaedenBtnClick() { }
void TMainForm::DelList1Click() { }
void TMainForm::PlusProdukteBtnClick() { }
void TMainForm::MinusProdukteBtnClick() { }
void TMainForm::DelList2Click() { }
void TMainForm::PropEdClick() { }
void TMainForm::PlusEinkaufBtnClick() { }
void TMainForm::MinusEinkaufBtnClick() { }
void TMainForm::DelList3Click() { }
void TMainForm::ListView1KeyDown(int) { }
void TMainForm::ListView2KeyDown(int) { }
void TMainForm::ListView3KeyDown(int) { }
void TMainForm::ListView1DblClick() { }
void TMainForm::ListView2DblClick() { }
void TMainForm::ListView3DblClick() { }
void TMainForm::ListView2Changing() { }
void TMainForm::ListView1ColumnClick(int) { }
void TMainForm::ListView2ColumnClick(int) { }
void TMainForm::ListView3ColumnClick(int) { }
int TMainForm::ListView1Compare(const Entry&, const Entry&) const
{
    return 0;
}
int TMainForm::ListView2Compare(const Entry&, const Entry&) const
{
    return 0;
}
int TMainForm::ListView3Compare(const Entry&, const Entry&) const
{
    return 0;
}
