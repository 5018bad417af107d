#include "help/helpgui.h"

#include "help/helppages.h"
#include "platform/prompter.h"
#include "platform/toolwindow.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCheckBox>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>

#include <cmath>
#include <memory>

namespace {

// The main window, for a help window opened without a parent.
QWidget* mainWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("KROGui"))
            return w;
    return nullptr;
}

// The width in pixels of the page's widest line, measured without markup.
int widestLine(const QString& page, const QFontMetrics& metrics)
{
    static const QRegularExpression breaks(
        QStringLiteral("(\\n)|(</? ?br>)|(</h.>)|(</p>)|(</.l)|(</table>)|(</tr>)|(</th>)"));
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    int widest = 0;
    for (QString line : page.split(breaks, Qt::SkipEmptyParts)) {
        line.remove(tag);
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    return widest;
}

} // namespace

HelpGui::HelpGui(const QString& caption, int page, QWidget* parent)
    : QWidget(nullptr, Qt::Dialog | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint)
{
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(caption);
    m_opener = parent ? parent : mainWindow();

    auto* layout = new QVBoxLayout(this);
    m_view = new QTextEdit(this);
    m_view->setReadOnly(true);
    m_view->setHtml(helpPageText(page));
    layout->addWidget(m_view);

    const kro::PrintDismissRow row = kro::makePrintDismissRow(this, tr("Got it"));
    m_print = row.print;
    m_gotIt = row.dismiss;
    m_stayOnTop = row.stayOnTop;
    layout->addLayout(row.layout);
    connect(m_print, &QPushButton::clicked, this, &HelpGui::print);
    connect(m_gotIt, &QPushButton::clicked, this, &QWidget::close);
    connect(m_gotIt, &QPushButton::clicked, this, &QObject::deleteLater);
    connect(m_stayOnTop, &QCheckBox::clicked, this, &HelpGui::on_stayontop);

    // The window is as wide as the widest line allows; the height bound is
    // taken from the text width too, but never beyond the screen.
    // A table is as wide as its widest cells put side by side, more than
    // its widest row: the page's natural width, laid out without wrapping,
    // counts too.
    QTextDocument natural;
    natural.setDefaultFont(m_view->font());
    natural.setHtml(helpPageText(page));
    const int widest = std::max(widestLine(helpPageText(page), fontMetrics()), int(std::ceil(natural.idealWidth())));
    int minHeight = widest + 40;
    if (const QScreen* screen = m_opener ? m_opener->screen() : QApplication::primaryScreen())
        minHeight = std::min(minHeight, screen->availableGeometry().height());
    setMaximumWidth(widest + 50);
    setMinimumHeight(minHeight);
    resize(widest + 50, minHeight);

    if (m_opener) {
        move(placement(m_opener->pos(), m_opener->mapToGlobal(m_opener->pos()), m_opener->size(), height()));
        // Dialogs that open help announce their end with closed(); any
        // opener ends the window when it goes.
        if (m_opener->metaObject()->indexOfSignal("closed()") >= 0)
            connect(m_opener, SIGNAL(closed()), this, SLOT(deleteLater()));
        connect(m_opener, &QObject::destroyed, this, &QObject::deleteLater);
    }
    show();
}

QPoint HelpGui::placement(const QPoint& framePos, const QPoint& frameOnScreen, const QSize& openerSize,
                          int windowHeight)
{
    const int w = openerSize.width(), h = openerSize.height();
    int left;
    if (frameOnScreen.x() < w / 2)
        left = framePos.x() + w / 2;
    else if (framePos.x() >= w / 2)
        left = framePos.x() - w / 2;
    else
        left = 30;
    int top = framePos.y() + h / 2 - windowHeight / 2;
    if (top < 30)
        top = framePos.y();
    return {left, top};
}

void HelpGui::on_stayontop() { kro::toggleStaysOnTop(this); }

void HelpGui::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    if (!kro::prompter().execPrintDialog(&printer, this))
        return;
    printOn(printer);
}

int HelpGui::printOn(QPrinter& printer) const
{
    QPainter painter;
    if (!painter.begin(&printer))
        return 0;
    const int margin = static_cast<int>(printer.logicalDpiY() * 2 / 2.54);
    const QRect body = QRect(0, 0, printer.width(), printer.height()).adjusted(margin, margin, -margin, -margin);
    if (body.width() <= 0 || body.height() <= 0)
        return 0;

    QFont font = this->font();
    font.setPointSize(10);
    std::unique_ptr<QTextDocument> doc(m_view->document()->clone());
    doc->documentLayout()->setPaintDevice(&printer);
    doc->setDefaultFont(font);
    doc->setPageSize(body.size());

    painter.setFont(QFont(font, &printer));
    const QFontMetrics metrics = painter.fontMetrics();
    const int pages = doc->pageCount();
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            printer.newPage();
        painter.save();
        painter.translate(body.left(), body.top() - page * body.height());
        doc->drawContents(&painter, QRectF(0, page * body.height(), body.width(), body.height()));
        painter.restore();
        const QString number = QString::number(page + 1);
        painter.drawText(body.right() - metrics.horizontalAdvance(number), body.bottom() + 5 + metrics.ascent(),
                         number);
    }
    painter.end();
    return pages;
}
