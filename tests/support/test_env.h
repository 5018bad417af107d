#pragma once
#include <QString>

namespace kro::test {
// The temporary HOME of this test run (settings and data folders live below it).
QString homeDir();
}
