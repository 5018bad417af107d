// Program entry of kro: application set-up; the run itself (splash,
// agreement, main window) is kro::runProgram.
#include <QApplication>
#include <QPalette>
#include <QStyleFactory>

#include "core/linecolors.h"
#include "core/messages.h"
#include "core/settings.h"
#include "platform/inputdialog.h"
#include "gui/programrun.h"
#include "platform/platform.h"

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

    return kro::runProgram(app, arguments);
}
