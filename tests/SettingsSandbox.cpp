// Linked into every test: each opening of the settings store works on a throwaway file, so no window of a test
// reads or writes the user's settings, and no test sees what an earlier one saved. Tests of the settings point the
// store at a file of their own instead. Recovery copies go to a folder of the test run, never the user's.
#include "document/RecoveryStore.h"
#include "settings/SettingsStore.h"

#include <QTemporaryDir>

using namespace korbana;

namespace {
const bool kScratch = (korbana::SettingsStore::setScratchMode(true), true);
QTemporaryDir recoveryFolder;
const bool kRecoveryFolder = (korbana::RecoveryStore::setFolderOverride(recoveryFolder.path()), true);
} // namespace
