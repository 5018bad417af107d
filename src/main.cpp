// Program entry of kro. Until the main window exists this shows a small
// window with the program's version.
#include <QApplication>
#include <QLabel>

#include "core/linecolors.h"
#include "platform/platform.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    kro::platform::setUpApplication();
    loadLineColors();
    QLabel label(QStringLiteral("KRO Version (Linux): %1").arg(QStringLiteral(KRO_VERSION_TEXT)));
    label.setWindowTitle(QStringLiteral("KRO"));
    label.setMinimumSize(360, 120);
    label.setAlignment(Qt::AlignCenter);
    label.show();
    return app.exec();
}
