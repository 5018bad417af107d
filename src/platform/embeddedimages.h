#pragma once
// The images compiled into the program (icons, splash, program icon,
// quick-start and save-style pictures), looked up by their file names such as
// "zoomin.png". Lookup is exact and case-sensitive; each image is decoded at
// most once per run and then served from a cache. GUI thread only.
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QStringList>

// The names of the collection, in its fixed order.
const QStringList& embeddedImageNames();

// The decoded image of that name, or a null image for a name that is not in
// the collection.
QImage findEmbeddedImage(const QString& name);

// The same image as a pixmap or an icon (null / empty for an unknown name).
QPixmap embeddedPixmap(const QString& name);
QIcon embeddedIcon(const QString& name);

// The resource folder that holds the collection (":/images"), for rich-text
// views that resolve image names through search paths.
QString embeddedImageFolder();

// How many images have been decoded so far in this run (each at most once).
int embeddedImageDecodeCount();
