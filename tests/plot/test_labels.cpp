// Plot labels: the rich-text label, the rotated label, the small widgets,
// the title and axis-label operations and the label layout.
#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTest>

#include <functional>

#include "../support/peers.h"
#include "platform/scriptedprompter.h"
#include "plot/actionlabel.h"
#include "plot/labeldesigner.h"
#include "plot/plotdiag.h"
#include "plot/rotlabel.h"
#include "plot_fixture.h"
#include "plot_signals.h"

using namespace plottest;

namespace {

const QString kAlpha(QChar(0x03B1));

TEST(HtmlBreaks, TypedBackslashNIsABreak)
{
    struct Case {
        QString in, out;
    };
    const Case cases[] = {
        {"Flux\\nDensity", "Flux<br />Density"},
        {"a\\n\\nb", "a<br />b"},
        {"\\nlead", "lead"},
        {"real\nfeed", "real\nfeed"},
        {"", ""},
        {"plain", "plain"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(toHtmlBreaks(c.in), c.out) << c.in.toStdString();
}

TEST(ActionLabelText, SymbolsBoldAndColour)
{
    QWidget home;
    ActionLabel label("/alpha", &home);
    EXPECT_EQ(label.storedText(), kAlpha);
    EXPECT_EQ(label.plainText(), kAlpha);
    label.setFont(QFont("Times", 12, QFont::Bold));
    const QString doc = label.richTextDocument("x");
    const int body = doc.indexOf("<body style");
    ASSERT_GE(body, 0);
    const QString tag = doc.mid(body, doc.indexOf('>', body) - body + 1);
    EXPECT_TRUE(tag.endsWith(";font-weight:600\">")) << tag.toStdString();

    QString shown = "<html><body>x</body></html>";
    ActionLabel::displayText(shown, QColor());
    EXPECT_EQ(shown, "<qt text=\"#000000\"><body>x</body></qt>");
}

TEST(ActionLabelText, PlainTextOfDocumentsAndOfPlainTexts)
{
    QWidget home;
    ActionLabel label("", &home);
    label.setText("<html><head><meta name=\"qrichtext\" content=\"1\" /></head>"
                  "<body style=\"font-size:10pt;font-family:Times\"><p>first<br />second</p></body></html>");
    EXPECT_EQ(label.plainText(), "first\nsecond");
    // A text set by a command is no document; its visible text comes back.
    label.setText("Time (MJD)");
    EXPECT_EQ(label.plainText(), "Time (MJD)");
    label.setText("Flux<br />Density");
    EXPECT_EQ(label.plainText(), "Flux\nDensity");
    label.setText(QString());
    EXPECT_EQ(label.plainText(), "");
    EXPECT_EQ(label.textHeight(), 0);
}

TEST(ActionLabelText, FontSizeAndColourChange)
{
    QWidget home;
    ActionLabel label("x", &home);
    EXPECT_EQ(label.fontPointSize(3), 5);
    const int now = label.fontPointSize(14);
    EXPECT_EQ(now, 14);
    EXPECT_EQ(label.fontPointSize(0), 14);
    EXPECT_EQ(label.fontPointSize(-2), 14);
    label.setColor(QColor(255, 0, 0));
    label.setText("<html><body style=\"font-size:10pt\"><p><span style=\"color:#ff0000\">a</span>"
                  "<span style=\"color:#FF0000\">b</span></p></body></html>");
    label.setColor(QColor(0, 128, 0));
    EXPECT_FALSE(label.storedText().contains("ff0000", Qt::CaseInsensitive));
    EXPECT_EQ(label.storedText().count("#008000"), 2);
}

TEST(ActionLabelMouse, ClickOpensTheDesignerLaterDoubleClickDetaches)
{
    QWidget home;
    home.resize(300, 200);
    home.show();
    auto* label = new ActionLabel("title", &home);
    label->setEditable(true);
    label->show();

    QTest::mouseClick(label, Qt::LeftButton);
    EXPECT_TRUE(label->clickPending());
    EXPECT_EQ(label->findChild<LabelDesigner*>(), nullptr);
    ASSERT_TRUE(kro::test::waitUntil([&] { return label->findChild<LabelDesigner*>() != nullptr; }, 3000));
    LabelDesigner* d = label->designer();
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->editor()->toPlainText(), "title");
    // The designer's accepted text sets the label and is announced.
    QSignalSpy textSet(label, &ActionLabel::textSet);
    Q_EMIT d->closed("new /beta");
    EXPECT_EQ(label->storedText(), "new " + QString(QChar(0x03B2)));
    EXPECT_EQ(textSet.count(), 1);

    // A movable, detachable label: a drag moves it and opens nothing; a
    // double click detaches it instead of opening the designer.
    label->setMovable(true);
    label->setDetachable(true);
    QSignalSpy moved(label, &ActionLabel::labelMoveEvent);
    QTest::mousePress(label, Qt::LeftButton, {}, QPoint(2, 2));
    QMouseEvent move(QEvent::MouseMove, QPointF(12, 7), label->mapToGlobal(QPointF(12, 7)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(label, &move);
    QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(12, 7));
    EXPECT_EQ(moved.count(), 1);
    EXPECT_FALSE(label->clickPending());
    QTest::mouseDClick(label, Qt::LeftButton);
    EXPECT_FALSE(label->isEmbedded());
    EXPECT_TRUE(label->isWindow());
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(label, &out);
    EXPECT_TRUE(label->isEmbedded());
    EXPECT_EQ(label->parentWidget(), &home);
}

TEST(RotatedLabel, Extents)
{
    EXPECT_EQ(RotLabel::rotatedExtents({87, 20}, -90), QSize(20, 88));
    EXPECT_EQ(RotLabel::rotatedExtents({87, 21}, 0), QSize(88, 22));
    const QSize diag = RotLabel::rotatedExtents({100, 20}, 45);
    EXPECT_EQ(diag.width(), diag.height());
    EXPECT_NEAR(diag.width(), 0.7071 * 120, 2);
    // Beyond 90 degrees the extents still cover the text.
    EXPECT_EQ(RotLabel::rotatedExtents({87, 20}, 180), QSize(88, 20));
    EXPECT_EQ(RotLabel::rotatedExtents({87, 20}, -135), RotLabel::rotatedExtents({87, 20}, 45));
}

TEST(RotatedLabel, TextSizeAndRightClickAngle)
{
    QWidget home;
    home.show();
    auto* owned = new RotLabel("Voltage", &home);
    RotLabel& label = *owned;
    label.show();
    const QSize doc = label.docSize();
    EXPECT_EQ(label.width(), doc.height() + doc.height() % 2);
    EXPECT_EQ(label.height(), doc.width() + doc.width() % 2);
    label.setText(QString()); // ignored
    EXPECT_EQ(label.storedText(), "Voltage");

    auto* prompts = new kro::ScriptedPrompter;
    auto old = kro::installPrompter(std::unique_ptr<kro::Prompter>(prompts));
    QSignalSpy textSet(&label, &ActionLabel::textSet);
    prompts->answerInt(0);
    QTest::mouseClick(&label, Qt::RightButton);
    EXPECT_EQ(label.angle(), 0);
    EXPECT_EQ(label.size(), RotLabel::rotatedExtents(doc, 0));
    EXPECT_EQ(textSet.count(), 1);
    ASSERT_EQ(prompts->asked().size(), 1u);
    EXPECT_EQ(prompts->asked()[0].title, "Set label rotation");
    prompts->answerInt(std::nullopt);
    QTest::mouseClick(&label, Qt::RightButton);
    EXPECT_EQ(label.angle(), 0);
    EXPECT_EQ(textSet.count(), 1);
    kro::installPrompter(std::move(old));

    label.setText("");
    EXPECT_EQ(label.rotatedWidth(), 0);
}

TEST(SnapCircle, PulsesBetweenItsDiameters)
{
    QWidget home;
    ActionCircle c(&home);
    EXPECT_EQ(c.size(), QSize(13, 13));
    const std::pair<int, int> after[] = {{12, 13}, {13, 12}, {25, 0}, {26, 1}};
    int ticks = 0;
    for (const auto& [n, diameter] : after) {
        for (; ticks < n; ++ticks)
            QMetaObject::invokeMethod(&c, "updateDiameter");
        EXPECT_EQ(c.m_diameter, diameter) << "after " << n << " ticks";
    }
}

TEST(CheckMark, ShowsTheCheckOrTheBackground)
{
    QWidget home;
    home.setAutoFillBackground(true);
    QPalette pal = home.palette();
    pal.setColor(QPalette::Window, QColor(240, 240, 240));
    home.setPalette(pal);
    AcceptedCheck check(&home);
    EXPECT_EQ(check.size(), QSize(21, 16));
    const auto greenPixels = [&] { return countColour(check.grab().toImage(), QRect(0, 0, 21, 16), qRgb(0, 0x80, 0x40)); };
    EXPECT_EQ(greenPixels(), 0);
    check.setChecked();
    EXPECT_GT(greenPixels(), 10);
    check.setUnchecked();
    EXPECT_EQ(greenPixels(), 0);
}

TEST(PlotLabels, RawAndConvertedTexts)
{
    auto p = makePlot(400, 300);
    EXPECT_EQ(p->title("A\\nB", SET, false, true), "A\\nB");
    EXPECT_EQ(p->title("A\\nB", SET, false, false), "A\nB");
    EXPECT_EQ(p->title(QString(), GET, false, true), "A<br />B");
    p->yLabel("/mu V", SET, true);
    EXPECT_EQ(p->yLabel(), QString(QChar(0x03BC)) + " V");
    EXPECT_EQ(p->xLabel("t\\n(s)", SET, false), "t\n(s)");
}

TEST(PlotLayout, MarginsFromTheLabels)
{
    auto p = makePlot(400, 300);
    p->refreshPixmap();
    const int titleHeight = p->titleLabel()->textHeight();
    EXPECT_EQ(p->marginTop(), titleHeight + 10);
    EXPECT_EQ(p->marginRight(), 40);
    const int titleWidth = p->titleLabel()->textWidth();
    EXPECT_EQ(p->titleLabel()->geometry(),
              QRect((399 - 40 + p->marginLeft()) / 2 - titleWidth / 2, 2, titleWidth, titleHeight));
    const int T = p->m_tickFontHeight;
    const int footnoteHeight = p->footnoteLabel()->textHeight();
    EXPECT_EQ(p->marginBottom(), T + p->xLabelWidget()->textHeight() + footnoteHeight);

    // A blank footnote hides; 5 pixels are kept for it.
    p->footnote("   ", SET);
    EXPECT_TRUE(p->footnoteLabel()->isHidden());
    EXPECT_EQ(p->marginBottom(), T + p->xLabelWidget()->textHeight() + 5);

    // A logarithmic x axis adds half a tick-label height.
    p->m_logX = true;
    p->refreshPixmap();
    EXPECT_EQ(p->marginBottom(), T + p->xLabelWidget()->textHeight() + 5 + T / 2);

    // The override wins only when larger.
    const int left = p->marginLeft();
    p->m_leftMarginOverride = left + 50;
    p->refreshPixmap();
    EXPECT_EQ(p->marginLeft(), left + 50);
    p->m_leftMarginOverride = 10;
    p->refreshPixmap();
    EXPECT_EQ(p->marginLeft(), left);
}

// n curves of two points, each with the legend title.
void addTitledCurves(Plotter& p, int n, const QString& title)
{
    for (int id = 0; id < n; ++id) {
        p.setCurveData(id, curveOf({{0, 0}, {1, 1}}), false);
        p.setCurveTitle(id, title);
    }
}

TEST(PlotLayout, FootnoteUnderTheLegendOrTheMarkerTable)
{
    auto p = makePlot(300, 300);
    Reports reports(*p);
    // A wide bottom legend reaches into the footnote's corner.
    p->legend()->setDockState(DOCK_BOTTOM);
    addTitledCurves(*p, 4, "a rather long legend entry");
    p->refreshPixmap();
    EXPECT_TRUE(reports.has(ZEVOVE::INFO, "Footnote was hidden because it intersects with the legend."));

    reports.clear();
    p->legend()->setDockState(DOCK_OFF);
    p->legend()->hide();
    p->footnote("a footnote long enough to reach under the table", SET);
    p->markerTable()->setDockState(DOCK_RIGHT);
    // Vertical markers fill the table: a long column of rows.
    for (int k = 0; k < 10; ++k) {
        const double x = k / 10.0;
        p->addVMarker(&x, false);
    }
    p->refreshPixmap();
    EXPECT_TRUE(reports.has(ZEVOVE::WARNING, "Footnote was hidden because it intersects with the marker table."));
    EXPECT_TRUE(p->footnoteLabel()->isHidden());
    EXPECT_EQ(p->marginRight(), p->markerTable()->width() + 5);
}

// A legend that covers the footnote's corner but not the 5-pixel strip kept
// for a hidden footnote: the footnote stays hidden instead of coming back cut
// to that strip, and when the legend leaves it comes back at its full height.
TEST(PlotLayout, HiddenFootnoteReturnsOnlyWhenItFitsWhole)
{
    auto p = makePlot(400, 300);
    Reports reports(*p);
    addTitledCurves(*p, 2, "entry");
    p->legend()->setDockState(DOCK_EMBED);
    p->refreshPixmap();
    ActionLabel* foot = p->footnoteLabel();
    const int F = foot->textHeight();
    ASSERT_GE(F, 8);
    ASSERT_FALSE(foot->isHidden());
    // The legend's bottom edge just reaches into the whole footnote, above
    // the strip of the last 5 + 4 rows.
    QWidget* legend = p->legend();
    const int footTop = 300 - 1 - F - 4;
    legend->move(foot->x(), footTop + 1 - legend->height() + 1);
    reports.clear();
    p->refreshPixmap();
    EXPECT_TRUE(foot->isHidden());
    EXPECT_EQ(reports.texts().join('|'), "Footnote was hidden because it intersects with the legend.");

    reports.clear();
    p->refreshPixmap();
    EXPECT_TRUE(foot->isHidden());
    EXPECT_TRUE(reports.texts().isEmpty()) << reports.texts().join('|').toStdString();

    reports.clear();
    legend->move(foot->x(), 60);
    p->refreshPixmap();
    EXPECT_EQ(reports.texts().join('|'), "Footnote shown.");
    EXPECT_FALSE(foot->isHidden());
    EXPECT_EQ(foot->height(), F);
    EXPECT_EQ(p->marginBottom(), p->m_tickFontHeight + p->xLabelWidget()->textHeight() + F);
}

// A floating legend is a window of its own: its place on the screen is
// compared with the footnote's place on the screen, not with the plot's own
// coordinates that happen to hold the same numbers.
TEST(PlotLayout, FloatingLegendIsComparedWhereItReallyIs)
{
    auto p = makePlot(400, 300);
    p->move(500, 400);
    QApplication::processEvents();
    Reports reports(*p);
    addTitledCurves(*p, 2, "entry");
    p->legend()->setDockState(DOCK_FLOAT);
    p->refreshPixmap();
    ActionLabel* foot = p->footnoteLabel();
    ASSERT_FALSE(foot->isHidden());
    QWidget* legend = p->legend();
    ASSERT_TRUE(legend->isWindow());

    // On the screen far from the plot, at the footnote's plot coordinates.
    legend->move(foot->pos());
    p->refreshPixmap();
    EXPECT_FALSE(foot->isHidden());
    EXPECT_TRUE(reports.texts().isEmpty()) << reports.texts().join('|').toStdString();

    // Over the footnote on the screen.
    legend->move(p->mapToGlobal(foot->pos()));
    p->refreshPixmap();
    EXPECT_TRUE(foot->isHidden());
    EXPECT_EQ(reports.texts().join('|'), "Footnote was hidden because it intersects with the legend.");
}

} // namespace


namespace {

QString repeatedMarkup(const char* piece, int times)
{
    QString text;
    for (int i = 0; i < times; ++i)
        text += QLatin1String(piece);
    return text;
}

} // namespace

TEST(PlotLabels, HostileMarkupIsShownWithoutItAndReported)
{
    auto p = makePlot(400, 300);
    QSignalSpy spy(p.get(), &Plotter::verbose);
    struct Case {
        QString text;
        const char* problem;
        QString shown;
    };
    const Case cases[] = {
        {repeatedMarkup("<table><tr><td>", 3000) + "cell", "The markup nests tables more than 4 deep", "cell"},
        {repeatedMarkup("<table><tr><td>", 600) + "cell", "The markup nests tables more than 4 deep", "cell"},
        {repeatedMarkup("<table><tr><td>", 5000), "The text is 75000 characters long", ""},
        {repeatedMarkup("<b>", 100000) + "bold", "The text is 300004 characters long", "bold"},
        {repeatedMarkup("<sup><i>", 100000), "The text is 800000 characters long", ""},
        {repeatedMarkup("<sup><i>", 1000) + "up", "The markup is nested more than 32 levels deep", "up"},
    };
    using Setter = std::function<void(const QString&)>;
    const std::pair<const char*, Setter> setters[] = {
        {"title", [&](const QString& t) { p->title(t, SET, true, true); }},
        {"x label", [&](const QString& t) { p->xLabel(t, SET, true, true); }},
        {"y label", [&](const QString& t) { p->yLabel(t, SET, true, true); }},
        {"footnote", [&](const QString& t) { p->footnote(t, SET); }},
    };
    ActionLabel* const labels[] = {p->titleLabel(), p->xLabelWidget(), p->yLabelWidget(), p->footnoteLabel()};
    for (const Case& c : cases) {
        for (std::size_t k = 0; k < std::size(setters); ++k) {
            spy.clear();
            setters[k].second(c.text);
            ASSERT_EQ(spy.size(), 1) << setters[k].first << " " << c.problem;
            EXPECT_EQ(spy[0][0].value<ZEVOVE::TYPE>(), ZEVOVE::ERROR);
            const QString message = spy[0][1].toString();
            EXPECT_TRUE(message.startsWith(QLatin1String(c.problem))) << message.toStdString();
            EXPECT_EQ(labels[k]->storedText(), c.shown) << setters[k].first;
        }
        // The plot and its labels paint (a crash or an endless layout would
        // end the test here).
        const QImage picture = p->grab().toImage();
        EXPECT_EQ(picture.size(), p->size() * picture.devicePixelRatio());
    }
    // Ordinary markup is kept and not reported.
    spy.clear();
    p->title("<b>Bold</b> and <i>italic</i><br />x<sub>2</sub>", SET, true, true);
    EXPECT_EQ(spy.size(), 0);
    EXPECT_EQ(p->titleLabel()->storedText(), "<b>Bold</b> and <i>italic</i><br />x<sub>2</sub>");
}
