// Program entry of kro: application set-up, splash, agreement, main window.
#include <QApplication>
#include <QBitmap>
#include <QElapsedTimer>
#include <QPalette>
#include <QSplashScreen>
#include <QStyleFactory>
#include <QThread>

#include <cstdio>
#include <iostream>
#include <memory>

#include "core/linecolors.h"
#include "core/messages.h"
#include "core/settings.h"
#include "platform/embeddedimages.h"
#include "gui/eula.h"
#include "platform/inputdialog.h"
#include "gui/krogui.h"
#include "gui/startup.h"
#include "platform/platform.h"
#include "platform/prompter.h"

int main(int argc, char** argv)
{
    kro::platform::restartWithHugePages(argv);
    kro::setDebugMode(false);
    kro::setVerbose(false);

    // The toolkit sees only the program path; the real arguments go to the
    // main window (the platform comes from QT_QPA_PLATFORM).
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    kro::platform::setUpApplication();
    loadLineColors();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, QColor(240, 240, 240));
    palette.setColor(QPalette::Button, QColor(240, 240, 240));
    QApplication::setPalette(palette);
    // Tool windows have no parent; the program ends with the main window.
    QApplication::setQuitOnLastWindowClosed(false);
    // The plot's two-number prompts use the program's input dialog.
    InputDialog::installAsTwoNumberPrompt();

    const QString version = kro::versionString();
    writeSetting(QStringLiteral("version"), version);
    writeSetting(QStringLiteral("builddate"), kro::buildDateString());
    std::cout << "\nProgram started";

    std::unique_ptr<QSplashScreen> splash;
    if (argc == 1) {
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
