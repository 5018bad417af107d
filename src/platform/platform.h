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

// Large buffers (curves of millions of points, transform and copy targets)
// cost a page fault per 4 KiB the first time they are written, which on a
// virtual machine is most of the time of a crop or a correlation. The C
// library backs large allocations with huge pages when its tunable says so,
// and it reads its tunables only when a program starts: so the program
// starts itself once more with the tunable set, where the kernel offers
// huge pages and the user has not chosen tunables already. Call first thing
// in main; returns only when no new start was made.
void restartWithHugePages(char** argv);
// GLIBC_TUNABLES for that start from the current value; empty when the
// current value already decides huge pages.
QByteArray tunablesWithHugePages(const QByteArray& current);

} // namespace kro::platform
