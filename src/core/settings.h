#pragma once
// Access to the stored settings: one shared settings object opened for a
// read and closed right after it (or kept open for a run of reads), the
// common application folder, the getters of the settings read in many places,
// and writing one value.
//
// The shared object is for the GUI thread only.
#include <QString>
#include <QVariant>

#include <string>

class QSettings;

// Layout of a plot's background image.
enum BackgroundImageStyle {
    CENTERED = 0,
    TILED = 1,
};

// Creates the shared settings object when it is closed; an open one is
// reused as it is.
void openSettings();
// Destroys the shared object (writing pending changes); nothing happens when
// it is already closed.
void closeSettings();
// The shared object while open, nullptr while closed.
QSettings* sharedSettings();

// The program's folder in the common application-data folder, UTF-8, ending
// in '/' (~/.local/share/KRO/). Created when missing.
std::string commonDataDirectory();

// Stores one value through a settings object of its own (the shared object
// is not touched). False when the store could not be written.
bool writeSetting(const QString& key, const std::string& value);
bool writeSetting(const QString& key, const char* value);
bool writeSetting(const QString& key, const QString& value);
bool writeSetting(const QString& key, const QVariant& value);

// One key through the shared object, with its default when the key is
// missing or its stored text does not convert to the kind read. The object is
// opened first and closed afterwards unless keepOpen is true.
QString readSettingText(const QString& key, const QString& defaultValue, bool keepOpen = false);
int readSettingInt(const QString& key, int defaultValue, bool keepOpen = false);
bool readSettingBool(const QString& key, bool defaultValue, bool keepOpen = false);
double readSettingDouble(const QString& key, double defaultValue, bool keepOpen = false);
// Colours are read as numbers (signed or unsigned 32-bit text).
quint32 readSettingColor(const QString& key, quint32 defaultValue, bool keepOpen = false);

// The getters of the settings read in many places. Missing keys give their
// defaults; the path defaults name the Linux folders.
QString getAppPath();
QString getBackgroundImage(bool keepOpen = false);
BackgroundImageStyle getBackgroundImageStyle(bool keepOpen = false);
QString getBackgroundTemplatePath();
QString getBuildDate();
QString getDataFileViewer(bool keepOpen = false);
QString getDateFormat();
QString getDateTimeFormat();
QString getEula();
QString getFootnote(bool keepOpen = false);
QString getImgPath(bool keepOpen = false);
QString getImgType(bool keepOpen = false);
QString getLabelTemplatePath();
QString getOfs(bool keepOpen = false);
QString getOpath(bool keepOpen = false);
QString getScriptsPath(bool keepOpen = false);
QString getTickFontFamily(bool keepOpen = false);
QString getTimeFormat();
QString getTitle(bool keepOpen = false);
QString getVersion();
QString getXlbl(bool keepOpen = false);
QString getYlbl(bool keepOpen = false);
