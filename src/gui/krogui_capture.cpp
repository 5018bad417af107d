// Image capture, export and printing of the current plot page.
#include "gui/krogui.h"

#include "command/commandedit.h"
#include "core/mjd.h"
#include "core/settings.h"
#include "platform/platform.h"
#include "platform/prompter.h"
#include "plot/actionlabel.h"
#include "plot/plotter.h"
#include "tabs/plotterctrl.h"
#include "tabs/plotterquad.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QPrinter>
#include <QSaveFile>

#include <boost/date_time/posix_time/posix_time.hpp>

#include <locale>
#include <sstream>

namespace {

// The UTC time rendered with a date_time format ("%Y%m%d%H%M%S", ...);
// empty when the format leaves a flag it does not know or names a folder.
QString timeStamp(const QString& format, const QDateTime& utc)
{
    using namespace boost::posix_time;
    const ptime t = time_from_string(utc.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")).toStdString());
    std::ostringstream out;
    out.imbue(std::locale(std::locale::classic(), new time_facet(format.toStdString().c_str())));
    out << t;
    const QString text = QString::fromStdString(out.str());
    if (text.isEmpty() || text.contains(QLatin1Char('%')) || text.contains(QLatin1Char('/')))
        return QString();
    return text;
}

} // namespace

// Creates every folder of the path; true when the folder exists at the end.
bool createPath(const QString& path)
{
    const QString p = kro::platform::expandHome(path);
    if (p.isEmpty())
        return false;
    QDir().mkpath(p);
    return QFileInfo(p).isDir();
}

QRect printTargetRect(const QSize& page, int margin, const QSize& picture, int below)
{
    if (picture.isEmpty())
        return QRect();
    int w = page.width() - 2 * margin;
    int h = int(double(w) * picture.height() / picture.width());
    const int maxH = page.height() - 2 * margin - below;
    if (h > maxH) {
        h = maxH;
        w = int(double(h) * picture.width() / picture.height());
    }
    return QRect(margin, margin, w, h);
}

QRect printPictureWithPageNumber(QPainter& painter, const QPixmap& picture)
{
    const QPaintDevice* page = painter.device();
    const int margin = int(page->logicalDpiY() * 2 / 2.54);
    const QFontMetrics metrics = painter.fontMetrics();
    const QRect target =
        printTargetRect(QSize(page->width(), page->height()), margin, picture.size(), 2 * metrics.height() + 10);
    painter.drawPixmap(target, picture);
    const QString number = QStringLiteral("1");
    painter.drawText(target.right() - metrics.horizontalAdvance(number), target.bottom() + 5 + metrics.ascent(), number);
    return target;
}

QString KROGui::captureFileName(const QString& type, QString* error) const
{
    PlotOptions o;
    loadPlotOptions(o);
    QString stamp;
    if (o.imgtimestamp == QLatin1String("MJD")) {
        stamp = QString::number(currentMjdHighRes(), 'f', 5);
    } else {
        try {
            stamp = timeStamp(o.imgtimestamp, QDateTime::currentDateTimeUtc());
        } catch (const std::exception&) {
            stamp.clear();
        }
        if (stamp.isEmpty()) {
            if (error)
                *error = tr("Error: The image time-stamp format \"%1\" cannot be used. Nothing was saved.")
                             .arg(o.imgtimestamp);
            return QString();
        }
    }
    const QString folder = kro::platform::expandHome(o.imgpath);
    auto build = [&](const QString& suffix) {
        const QString name = stamp + QStringLiteral("_kroCapture") + suffix + QLatin1Char('.') + type;
        return folder.isEmpty() ? name : QDir(folder).filePath(name);
    };
    // Captures within the time stamp's resolution get their own names.
    QString name = build(QString());
    for (int n = 1; QFileInfo::exists(name); ++n)
        name = build(QStringLiteral("_%1").arg(n));
    return name;
}

QPixmap KROGui::grabPlotPixmap(bool whiteBorder)
{
    PlotterQuad* quad = m_plotterCtrl->currentQuad();
    if (!quad)
        return QPixmap();
    std::vector<std::pair<Plotter*, QColor>> saved;
    for (Plotter* p : quad->m_plotters) {
        if (!p)
            continue;
        saved.emplace_back(p, p->m_outsideColor);
        if (whiteBorder) {
            p->m_outsideColor = Qt::white;
            p->refreshPixmap();
        }
    }
    AcceptedCheck* indicator = quad->activeIndicator();
    const bool indicatorShown = indicator && !indicator->isHidden();
    if (indicator)
        indicator->hide();
    // The page renders itself: the same pixels as on screen, without other
    // windows and on any screen or platform.
    const QPixmap pixmap = quad->grab();
    if (indicator && indicatorShown && indicator->isChecked())
        indicator->show();
    if (whiteBorder) {
        for (auto& [p, colour] : saved) {
            p->m_outsideColor = colour;
            p->refreshPixmap();
        }
    }
    return pixmap;
}

void KROGui::on_screenShot()
{
    QString folder = getImgPath();
    if (folder.isEmpty() || !QFileInfo(kro::platform::expandHome(folder)).isDir()) {
        const auto answer = kro::prompter().getText(
            this, tr("Image path..."),
            tr("The image directory has not yet been set, or is inaccessible.\nTo create a directory enter the path "
               "and click OK. otherwise click Cancel."),
            folder);
        if (!answer) {
            say(tr("Save cancelled."));
            return;
        }
        // "~" is the home folder; the setting keeps the folder it names.
        const QString path = kro::platform::expandHome(*answer);
        if (!createPath(path)) {
            say(tr("Error: Unable to make path %1!").arg(path));
            return;
        }
        writeStringSetting(QStringLiteral("imgpath"), path);
        say(tr("Image path default set to %1").arg(path));
    }

    const QString type = getImgType();
    QString error;
    const QString name = captureFileName(type, &error);
    if (name.isEmpty()) {
        say(error);
        return;
    }
    QByteArray format = type.toUpper().toLatin1();
    if (type.compare(QLatin1String("jpg"), Qt::CaseInsensitive) == 0)
        format = "JPEG";
    const bool whiteBorder = !readSettingBool(QStringLiteral("imgborder"), false);
    int quality = (2 - readSettingInt(QStringLiteral("imgqual"), 0)) * 50;
    // PNG is lossless: its writer reads the quality as the inverse of the
    // compression effort, so "high" would write an uncompressed file. Every
    // step gets the same picture, so every step gets the smallest file.
    if (format == "PNG")
        quality = 0;
    const QPixmap pixmap = grabPlotPixmap(whiteBorder);

    // Written to a temporary file and renamed at the end: a failed write
    // leaves nothing behind.
    QSaveFile file(name);
    bool ok = !pixmap.isNull() && file.open(QIODevice::WriteOnly);
    if (ok) {
        QImageWriter writer(&file, format);
        writer.setQuality(quality);
        ok = writer.write(pixmap.toImage()) && file.commit();
    }
    if (!ok) {
        file.cancelWriting();
        say(tr("Error: Unable to save %1. Save aborted.").arg(name));
        return;
    }
    say(tr("Image saved to %1").arg(name));
}

bool KROGui::printPlotOn(QPrinter& printer)
{
    const QPixmap pixmap = grabPlotPixmap(true);
    if (pixmap.isNull())
        return false;
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    printPictureWithPageNumber(painter, pixmap);
    say(tr("Printing..."));
    return painter.end();
}

void KROGui::printPlot()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setColorMode(QPrinter::Color);
    printer.setFullPage(true);
    if (!kro::prompter().execPrintDialog(&printer, this)) {
        say(tr("Print canceled."));
        return;
    }
    printPlotOn(printer);
}
