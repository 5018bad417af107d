#include "gui/programrun.h"

#include "core/settings.h"
#include "gui/eula.h"
#include "gui/krogui.h"
#include "gui/startup.h"
#include "platform/embeddedimages.h"

#include <QApplication>
#include <QBitmap>
#include <QElapsedTimer>
#include <QSplashScreen>
#include <QThread>

#include <cstdio>
#include <iostream>
#include <memory>

namespace kro {

int runProgram(QApplication& app, const QStringList& arguments)
{
    const QString version = kro::versionString();
    writeSetting(QStringLiteral("version"), version);
    writeSetting(QStringLiteral("builddate"), kro::buildDateString());
    std::cout << "\nProgram started";

    std::unique_ptr<QSplashScreen> splash;
    if (arguments.size() == 1) {
        const QImage image = findEmbeddedImage(QStringLiteral("kro_w_txt.png"));
        QPixmap pixmap = QPixmap::fromImage(image);
        if (!image.isNull())
            pixmap.setMask(QBitmap::fromImage(image.createAlphaMask()));
        splash = std::make_unique<QSplashScreen>(pixmap);
        if (!pixmap.mask().isNull())
            splash->setMask(pixmap.mask());
        splash->show();
        QElapsedTimer shown;
        shown.start();
        while (shown.elapsed() < 1000) {
            QApplication::processEvents(QEventLoop::AllEvents, 50);
            QThread::msleep(10);
        }
    }

    if (getEula() != version && splash)
        splash->hide();
    if (!EULA::acceptedOnce(version))
        return -1;

    auto window = std::make_unique<KROGui>(arguments);
    QObject::connect(window.get(), &KROGui::closed, &app, &QApplication::quit);
    if (!window->startupError().isEmpty())
        std::fprintf(stderr, "kro: start-up arguments ignored: %s\n", qPrintable(window->startupError()));
    if (splash) {
        splash->finish(window.get());
        splash.reset();
    }
    const int result = app.exec();
    window.reset();
    return result;
}

} // namespace kro
