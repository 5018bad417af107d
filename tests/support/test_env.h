#pragma once
#include <QString>

namespace kro::test {
// The temporary HOME of this test run (settings and data folders live below it).
QString homeDir();
// Closes the shared settings object and empties the program's settings store.
void clearSettingsStore();
}
