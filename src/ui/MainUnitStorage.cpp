// The stored settings of the main window.
#include "MainUnit.h"

void TMainForm::createFormStorage() { }
void TMainForm::formStorageRestore() { }
void TMainForm::formStorageSave() { }
void TMainForm::formStorageDestroy() { }
