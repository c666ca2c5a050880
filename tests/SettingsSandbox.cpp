// Linked into every test: each opening of the settings store works on a throwaway file, so no window of a test
// reads or writes the user's settings, and no test sees what an earlier one saved. Tests of the settings point the
// store at a file of their own instead.
#include "settings/SettingsStore.h"

namespace {
const bool kScratch = (korbana::SettingsStore::setScratchMode(true), true);
}
