// Plotter: the title, axis labels and footnote, and the layout that sets the
// margins of the plot area around them, the legend and the marker table.
#include "plot/actionlabel.h"
#include "plot/plotdiag.h"
#include "plot/plotter.h"
#include "plot/rotlabel.h"

QString toHtmlBreaks(const QString& text)
{
    if (!text.contains(QLatin1String("\\n")))
        return text;
    QStringList parts = text.split(QLatin1String("\\n"), Qt::SkipEmptyParts);
    return parts.join(QLatin1String("<br />"));
}

namespace {
// Shown unless hidden on purpose (a child of a plot not yet on screen is not
// hidden in this sense).
bool isShown(const QWidget* w) { return !(w->isHidden() && w->testAttribute(Qt::WA_WState_ExplicitShowHide)); }

// A panel's rectangle in the plot's coordinates; a floating panel is a
// window whose position is on the screen.
QRect rectInPlot(const QWidget* plot, const QWidget* panel)
{
    if (!panel->isWindow())
        return panel->geometry();
    return QRect(plot->mapFromGlobal(panel->geometry().topLeft()), panel->size());
}
} // namespace

QString Plotter::title(const QString& text, SETGET mode, bool redraw, bool raw)
{
    if (mode == SET) {
        m_title->setText(raw ? text : toHtmlBreaks(text));
        m_title->update();
        if (redraw) {
            refreshPixmap();
        } else {
            const int w = m_title->width();
            m_title->move((width() - 1 - m_marginRight + m_marginLeft) / 2 - w / 2, 2);
        }
    }
    return raw ? m_title->storedText() : m_title->plainText();
}

QString Plotter::xLabel(const QString& text, SETGET mode, bool redraw, bool raw)
{
    if (mode == SET) {
        m_xLabel->setText(raw ? text : toHtmlBreaks(text));
        m_xLabel->update();
        if (redraw) {
            refreshPixmap();
        } else {
            const int T = tickLabelHeight(false);
            const int w = m_xLabel->textWidth();
            const int y = (height() - 1 - m_marginBottom) + T + 4 + (m_logX ? T / 2 : 0);
            m_xLabel->setGeometry((width() - 1 - m_marginRight + m_marginLeft) / 2 - w / 2, y, w,
                                  m_xLabel->textHeight());
        }
    }
    return raw ? m_xLabel->storedText() : m_xLabel->plainText();
}

QString Plotter::yLabel(const QString& text, SETGET mode, bool redraw, bool raw)
{
    if (mode == SET) {
        m_yLabel->setText(raw ? text : toHtmlBreaks(text));
        m_yLabel->adjustSize();
        m_yLabel->update();
        if (redraw) {
            refreshPixmap();
        } else {
            const int h = m_yLabel->height();
            m_yLabel->move(m_marginLeft - m_yTickLabelWidth - m_yLabel->rotatedWidth() - 12,
                           (height() - 1 - m_marginBottom + m_marginTop) / 2 - h / 2);
        }
    }
    return raw ? m_yLabel->storedText() : m_yLabel->plainText();
}

QString Plotter::footnote(const QString& text, SETGET mode)
{
    if (mode == SET) {
        m_footnote->setText(toHtmlBreaks(text));
        if (!m_footnote->storedText().trimmed().isEmpty()) {
            m_footnote->show();
            m_footnote->update();
        } else {
            m_footnote->hide();
        }
        refreshPixmap();
    }
    return m_footnote->storedText();
}

void Plotter::on_changeTitle() { m_title->openDesigner(); }
void Plotter::on_changeXLabel() { m_xLabel->openDesigner(); }
void Plotter::on_changeYLabel() { m_yLabel->openDesigner(); }
void Plotter::on_changeFootnote() { m_footnote->openDesigner(); }

void Plotter::reshapeLabels()
{
    // The layout reruns itself at most once for each of the two overlaps.
    bool legendRerunDone = false;
    bool tableRerunDone = false;
    bool shownRerunDone = false;
    for (;;) {
        m_yTickLabelWidth = yTickLabelWidth();

        const int T = tickLabelHeight(false);
        const DockState legendDock = m_legend->dockState();
        // A legend above or below the plot wraps into rows rather than
        // reach past the plot's sides.
        m_legend->setWrapWidth(legendDock == DOCK_TOP || legendDock == DOCK_BOTTOM ? width() - 10 : 0);
        const bool legendShown = isShown(m_legend);
        const bool tableShown = isShown(m_markerTable);

        int left = m_yTickLabelWidth + 15 + m_yLabel->rotatedWidth();
        if (legendDock == DOCK_LEFT)
            left += m_legend->width() + 5;
        if (m_leftMarginOverride > 0)
            left = std::max(left, m_leftMarginOverride);
        m_marginLeft = left;

        int right = 40;
        if (tableShown && m_markerTable->dockState() == DOCK_RIGHT)
            right = m_markerTable->width() + 5;
        if (legendShown && legendDock == DOCK_RIGHT)
            right = std::max(right, m_legend->width() + 5);
        m_marginRight = right;

        const int titleHeight = m_title->textHeight();
        m_marginTop = titleHeight + 10 + ((legendShown && legendDock == DOCK_TOP) ? m_legend->height() + 5 : 0);

        const bool footnoteShown = isShown(m_footnote);
        const int F = footnoteShown ? m_footnote->textHeight() : 5;
        const int xLabelHeight = m_xLabel->textHeight();
        m_marginBottom = T + xLabelHeight + F + ((legendShown && legendDock == DOCK_BOTTOM) ? m_legend->height() : 0) +
                         (m_logX ? T / 2 : 0);

        const int R = width() - 1 - m_marginRight;
        const int B = height() - 1 - m_marginBottom;
        const int cx = (R + m_marginLeft) / 2;
        const int cy = (B + m_marginTop) / 2;

        const int titleWidth = m_title->textWidth();
        m_title->setGeometry(cx - titleWidth / 2, 2, titleWidth, titleHeight);

        const int footWidth = m_footnote->textWidth();
        const QRect footRect(width() - 1 - footWidth - 9, height() - 1 - F - 4, footWidth, F);
        m_footnote->setGeometry(footRect);
        // The overlap tests use the footnote at its full height: a hidden
        // footnote only keeps a 5-pixel strip, and showing it because that
        // strip is clear would show it cut to the strip.
        const int fullHeight = m_footnote->textHeight();
        const QRect wholeFoot(footRect.x(), height() - 1 - fullHeight - 4, footWidth, fullHeight);

        const int xLabelWidth = m_xLabel->textWidth();
        const int xLabelY = B + T + 4 + (m_logX ? T / 2 : 0);
        m_xLabel->setGeometry(cx - xLabelWidth / 2, xLabelY, xLabelWidth, xLabelHeight);

        m_yLabel->move(m_marginLeft - m_yLabel->rotatedWidth() - m_yTickLabelWidth - 12, cy - m_yLabel->height() / 2);

        // A blank footnote stays hidden whatever the panels do.
        const bool footnoteHasText = !m_footnote->storedText().trimmed().isEmpty();
        bool markForShowing = footnoteHasText;
        if (legendShown) {
            switch (legendDock) {
            case DOCK_LEFT:
                m_legend->move(5, cy - m_legend->height() / 2);
                break;
            case DOCK_RIGHT:
                m_legend->move(R + 4, cy - m_legend->height() / 2);
                break;
            case DOCK_TOP:
                m_legend->move(cx - m_legend->width() / 2, titleHeight + 8);
                break;
            case DOCK_BOTTOM:
                m_legend->move(cx - m_legend->width() / 2, xLabelY + xLabelHeight);
                break;
            default:
                break;
            }
            if (wholeFoot.intersects(rectInPlot(this, m_legend))) {
                markForShowing = false;
                if (isShown(m_footnote) && !legendRerunDone) {
                    m_footnote->hide();
                    Q_EMIT verbose(ZEVOVE::INFO, tr("Footnote was hidden because it intersects with the legend."));
                    legendRerunDone = true;
                    continue;
                }
            }
        }
        if (tableShown && m_markerTable->dockState() == DOCK_RIGHT) {
            m_markerTable->move(R + 4, m_marginTop);
            if (wholeFoot.intersects(rectInPlot(this, m_markerTable))) {
                markForShowing = false;
                if (isShown(m_footnote) && !tableRerunDone) {
                    m_footnote->hide();
                    m_footnote->update();
                    Q_EMIT verbose(ZEVOVE::WARNING,
                                   tr("Footnote was hidden because it intersects with the marker table."));
                    tableRerunDone = true;
                    continue;
                }
            } else if (wholeFoot.intersects(rectInPlot(this, m_legend))) {
                markForShowing = false;
            }
        }
        if (!isShown(m_footnote) && markForShowing) {
            Q_EMIT verbose(ZEVOVE::INFO, tr("Footnote shown."));
            m_footnote->show();
            // Once more with the footnote's own height in the bottom margin.
            if (!shownRerunDone) {
                shownRerunDone = true;
                continue;
            }
        }
        break;
    }
}
