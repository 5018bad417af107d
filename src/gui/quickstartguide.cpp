#include "gui/quickstartguide.h"

#include "core/settings.h"
#include "gui/krogui.h"
#include "platform/embeddedimages.h"
#include "platform/prompter.h"
#include "platform/toolwindow.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QPixmap quickStartPicture()
{
    const QString name = QStringLiteral("quickstart.png");
    QPixmap picture = embeddedPixmap(name);
    if (picture.isNull() && QFileInfo::exists(name))
        picture.load(name);
    return picture;
}

constexpr Qt::WindowFlags kGuideFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;

} // namespace

QuickStartGuide::QuickStartGuide(QWidget* parent) : QWidget(nullptr, kGuideFlags | Qt::WindowStaysOnTopHint)
{
    m_opener = parent;
    setObjectName(QStringLiteral("Quick Start Guide"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(tr("KRO QuickStart"));
    if (parent)
        setWindowIcon(parent->windowIcon());

    auto* layout = new QVBoxLayout(this);
    QString title = QStringLiteral(
        "<html>   <head>      <meta name=\"qrichtext\" content=\"1\" />   </head>   <body style=\"font-family:Times\">"
        "      <p align=\"center\">         <span style=\"font-size:18pt;font-family:Times\">            Quick Start "
        "Guide         </span>      </p>   </body></html>");
    title.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
    auto* heading = new QLabel(title, this);
    // At least the 30 pixels of the original layout, and as tall as the
    // 18-point paragraph needs so the title is never clipped away.
    heading->setFixedHeight(std::max(30, heading->sizeHint().height()));
    layout->addWidget(heading);

    const QPixmap picture = quickStartPicture();
    auto* pictureArea = new QLabel(this);
    pictureArea->setPixmap(picture);
    pictureArea->setFixedHeight(picture.height());
    layout->addWidget(pictureArea);

    m_showOnStartup = new QCheckBox(tr("Show on startup"), this);
    m_showOnStartup->setMaximumHeight(24);
    const kro::PrintDismissRow row = kro::makePrintDismissRow(this, tr("Got it!"), m_showOnStartup);
    row.layout->setSpacing(5);
    m_print = row.print;
    m_gotIt = row.dismiss;
    m_stayOnTop = row.stayOnTop;
    for (QCheckBox* c : {m_showOnStartup, m_stayOnTop})
        c->setChecked(true);  // before the connections: nothing is triggered
    layout->addLayout(row.layout);
    connect(m_showOnStartup, &QCheckBox::toggled, this, &QuickStartGuide::on_showonstartup);
    connect(m_stayOnTop, &QCheckBox::clicked, this, &QuickStartGuide::on_stayontop);
    connect(m_print, &QPushButton::clicked, this, &QuickStartGuide::print);
    connect(m_gotIt, &QPushButton::clicked, this, &QWidget::close);
    m_gotIt->setDefault(true);
    setFocusProxy(m_gotIt);
    m_gotIt->setFocus();

    setFixedSize(picture.width(), layout->minimumSize().height());
    if (parent)
        move(placement(parent->geometry(), picture.size()));
}

QPoint QuickStartGuide::placement(const QRect& client, const QSize& picture)
{
    const int left = client.x() + client.width() / 2 - picture.width() / 2;
    const int top = client.height() < picture.height() + 100 ? 5 : client.y();
    return {left, top};
}

void QuickStartGuide::on_showonstartup(bool on)
{
    if (!writeSetting(QStringLiteral("quickstart"), QVariant(on)))
        kro::prompter().warning(this, tr("KRO QuickStart"),
                                tr("The choice could not be saved: the settings store cannot be written."));
}

void QuickStartGuide::on_stayontop()
{
    kro::toggleStaysOnTop(this);
    if (m_opener)
        setWindowIcon(m_opener->windowIcon());
}

void QuickStartGuide::printPicture(QPaintDevice& page, const QPixmap& picture)
{
    QPainter painter(&page);
    printPictureWithPageNumber(painter, picture);
}

void QuickStartGuide::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setColorMode(QPrinter::Color);
    const QPixmap picture = grab();
    printer.setFullPage(true);
    if (!kro::prompter().execPrintDialog(&printer, this))
        return;
    printPicture(printer, picture);
}
