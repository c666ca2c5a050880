// Printing the Shopping list, the printer set-up and the print font.
#include "MainUnit.h"

void TMainForm::Drucken1Click() { }
void TMainForm::Druckereinrichten1Click() { }
void TMainForm::FontBtnClick() { }
