#pragma once
// The Linux side of the services the program takes from its platform:
// application identity and numeric locale, the settings store, the
// application and user folders, and the free physical memory.
#include <QString>

#include <memory>

class QSettings;

namespace kro::platform {

// Call once right after the application object is built (program and test
// mains alike): sets the application identity (no organisation, application
// "KRO", so QStandardPaths::AppDataLocation is ~/.local/share/KRO) and puts
// LC_NUMERIC back to "C", which the toolkit changed to the user's locale.
void setUpApplication();

// Sets LC_NUMERIC to "C" again (setUpApplication does this).
void useCNumericLocale();

// The program's settings store: ~/.config/KROSoftware/kro.conf.
std::unique_ptr<QSettings> openProgramSettings();
// The regular-expression tool's store: ~/.config/KROSoftware/RegExBuilder.conf.
std::unique_ptr<QSettings> openRegexBuilderSettings();

// The common application folder ~/.local/share/KRO/ (always ends in '/'),
// created when it does not exist yet. Default of the setting "apppath" and
// home of "linecolors.cfg".
QString commonAppDataFolder();

// The user's folders for saved images, data and scripts: ~/KRO/images,
// ~/KRO/data and ~/KRO/scripts (no trailing '/'), created on first use.
enum class UserFolder { Images, Data, Scripts };
QString userFolder(UserFolder which);

// Free physical memory in bytes ("MemAvailable" of /proc/meminfo), -1 when
// it cannot be read.
long long availableMemoryBytes();
// The same read from a given meminfo text (for tests and other sources).
long long availableMemoryFromMeminfo(const QByteArray& meminfo);

// Joins a folder and a name with exactly one '/' between them.
QString joinPath(const QString& folder, const QString& name);

// A path typed as in a shell: a leading "~" alone or followed by '/' stands
// for the home folder. Anything else (also "~name") comes back unchanged.
QString expandHome(const QString& path);

} // namespace kro::platform
