#pragma once
// The Linux side of the services the program takes from its platform:
// application identity and numeric locale and the free physical memory;
// the settings stores and folders (core/appfolders.h) come with it.
#include "core/appfolders.h"

#include <QString>

class QByteArray;

namespace kro::platform {

// Call once right after the application object is built (program and test
// mains alike): sets the application identity (no organisation, application
// "KRO", so QStandardPaths::AppDataLocation is ~/.local/share/KRO) and puts
// LC_NUMERIC back to "C", which the toolkit changed to the user's locale.
void setUpApplication();

// Sets LC_NUMERIC to "C" again (setUpApplication does this).
void useCNumericLocale();

// Free physical memory in bytes ("MemAvailable" of /proc/meminfo), -1 when
// it cannot be read.
long long availableMemoryBytes();
// The same read from a given meminfo text (for tests and other sources).
long long availableMemoryFromMeminfo(const QByteArray& meminfo);

} // namespace kro::platform
