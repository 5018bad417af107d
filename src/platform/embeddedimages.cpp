#include "platform/embeddedimages.h"

#include <QHash>

// The resources live in this library; a static library drops an unreferenced
// initialiser, so the collection is registered on first use.
static void registerImageResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)registered;
}

namespace {

QHash<QString, QImage>& cache()
{
    static QHash<QString, QImage> images;
    return images;
}

int g_decoded = 0;

} // namespace

const QStringList& embeddedImageNames()
{
    static const QStringList names = {
        "2sigma.png", "add.png", "cache.png", "camera.png", "close.png", "comment_add.png", "comment_delete.png",
        "crop.png", "datasel.png", "eraser.png", "kro.png", "kro_w_txt.png", "hand.png", "info.png", "kill.png",
        "load.png", "norm.png", "pan_grab.png", "pan_open.png", "print.png", "quickstart.png", "refresh.png",
        "reload.png", "rescale.png", "run.png", "save.png", "save_styles.png", "save_style_1.png",
        "save_style_1_wheader.png", "save_style_2.png", "save_style_2_wheader.png", "slope.png", "snapto.png",
        "stats.png", "sync_off.png", "sync_on.png", "undo.png", "zoomin.png", "zoomout.png", "basicmath.png",
        "clock.png", "colors.png", "curvefit.png", "filter.png", "grid.png", "labels.png", "mouse.png",
        "signalproc.png", "style.png", "system.png", "editcopy.xpm", "editcut.xpm", "editpaste.xpm",
        "editredo.xpm", "editundo.xpm", "fileopen.xpm", "filesave.xpm", "markup.xpm", "richtext.xpm",
        "subscript.xpm", "superscript.xpm", "textbold.xpm", "textcenter.xpm", "textitalic.xpm", "textjustify.xpm",
        "textleft.xpm", "textright.xpm", "textunder.xpm",
    };
    return names;
}

QImage findEmbeddedImage(const QString& name)
{
    auto& images = cache();
    if (const auto it = images.constFind(name); it != images.constEnd())
        return it.value();
    if (!embeddedImageNames().contains(name, Qt::CaseSensitive))
        return QImage();
    registerImageResources();
    QImage image(embeddedImageFolder() + QLatin1Char('/') + name);
    ++g_decoded;
    images.insert(name, image);
    return image;
}

QPixmap embeddedPixmap(const QString& name)
{
    const QImage image = findEmbeddedImage(name);
    return image.isNull() ? QPixmap() : QPixmap::fromImage(image);
}

QIcon embeddedIcon(const QString& name)
{
    const QPixmap pixmap = embeddedPixmap(name);
    return pixmap.isNull() ? QIcon() : QIcon(pixmap);
}

QString embeddedImageFolder()
{
    registerImageResources();
    return QStringLiteral(":/images");
}

int embeddedImageDecodeCount() { return g_decoded; }
