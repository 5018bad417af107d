#include "platform/toolwindow.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>

namespace kro {

PrintDismissRow makePrintDismissRow(QWidget* window, const QString& dismissText, QWidget* leading)
{
    PrintDismissRow row;
    row.layout = new QHBoxLayout;
    row.print = new QPushButton(QObject::tr("Print"), window);
    row.dismiss = new QPushButton(dismissText, window);
    row.stayOnTop = new QCheckBox(QObject::tr("Stay on top"), window);
    for (QPushButton* b : {row.print, row.dismiss}) {
        b->setFixedWidth(100);
        b->setMaximumHeight(24);
    }
    row.stayOnTop->setMaximumHeight(24);
    if (leading)
        row.layout->addWidget(leading);
    row.layout->addStretch();
    row.layout->addWidget(row.print);
    row.layout->addWidget(row.dismiss);
    row.layout->addStretch();
    row.layout->addWidget(row.stayOnTop);
    return row;
}

void toggleStaysOnTop(QWidget* window)
{
    const QPoint at = window->pos();
    window->setWindowFlag(Qt::WindowStaysOnTopHint, !(window->windowFlags() & Qt::WindowStaysOnTopHint));
    window->move(at);
    window->show();
}

} // namespace kro
