// CSV export and import of the three lists.
#include "MainUnit.h"

void TMainForm::CSVExport1Click() { }
void TMainForm::CSVImport1Click() { }
