#pragma once
// Where the program keeps its settings and files on Linux: the settings
// stores (~/.config/KROSoftware/kro.conf and RegExBuilder.conf), the common
// application folder ~/.local/share/KRO/ and the user's folders ~/KRO/...
// They sit beside the settings store in the lowest library; the rest of the
// platform layer (platform/platform.h) builds on them.
#include <QString>

#include <memory>

class QSettings;

namespace kro::platform {

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

// Joins a folder and a name with exactly one '/' between them.
QString joinPath(const QString& folder, const QString& name);

// A path typed as in a shell: a leading "~" alone or followed by '/' stands
// for the home folder. Anything else (also "~name") comes back unchanged.
QString expandHome(const QString& path);

// The application's name, which names its data folder.
inline constexpr const char* kApplicationName = "KRO";

} // namespace kro::platform
