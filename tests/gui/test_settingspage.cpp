// The default-settings page: its rows, what they show, what they save, and
// the settings taking effect in the main window and in the program.
#include "command/commandedit.h"
#include "core/messages.h"
#include "core/appfolders.h"
#include "core/settings.h"
#include "gui/krogui.h"
#include "gui/krosettingsgui.h"
#include "platform/labeledwidget.h"
#include "plot/actionlabel.h"
#include "plot/plotter.h"
#include "support/files.h"
#include "support/program.h"
#include "support/prompts.h"
#include "support/test_env.h"

#include <QApplication>
#include <QComboBox>
#include <QScrollBar>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace {

using P = KROSettingsParam;

class SettingsPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        kro::test::clearSettingsStore();
        m_mainWindow.resize(900, 700);
    }
    std::unique_ptr<KROSettingsGUI> makePage() { return std::make_unique<KROSettingsGUI>(nullptr, &m_mainWindow); }
    static QString stored(const QString& key)
    {
        closeSettings();
        return kro::platform::openProgramSettings()->value(key).toString();
    }
    static QString configFile() { return kro::platform::openProgramSettings()->fileName(); }

    QWidget m_mainWindow;
};

TEST_F(SettingsPage, GroupsAndRowsInTheirOrder)
{
    const struct {
        const char* title;
        std::vector<std::pair<P, const char*>> rows;
    } groups[] = {
        {"System Settings",
         {{P::WORKSPACEPATH, "Workspace Path"}, {P::SCRIPTSPATH, "KroScript Path"}, {P::SIZE, "Program Size"},
          {P::DATAFILEVIEWER, "Data file editor"}, {P::HISTORY, "Command history"}, {P::VERBOSE, "Verbose mode"},
          {P::QUICKSTART, "Quickstart Guide"}}},
        {"Image Settings",
         {{P::IMGPATH, "Images Path"}, {P::IMGTYPE, "Type"}, {P::IMGBORDER, "Border Color"}, {P::IMGQUAL, "Quality"},
          {P::IMGTIMESTAMP, "Timestamp"}}},
        {"Data Save Settings", {{P::OPATH, "Data Path"}, {P::OFS, "Field Separator"}}},
        {"Plotter Motif",
         {{P::BORDERCOLOR, "Border Color"}, {P::BACKGROUNDCOLOR, "Background Color"},
          {P::BACKGROUNDIMAGE, "Background Image"}, {P::BACKGROUNDIMAGESTYLE, "Backgnd Image Style"},
          {P::GRIDLINECOLOR, "Gridline Color"}, {P::PNTRAD, "Point Radius"}}},
        {"Labels and Font Sizes",
         {{P::TITLE, "Title"}, {P::USESHORTTITLES, "Use Short Titles"}, {P::XLBL, "X-Axis Label"},
          {P::YLBL, "Y-Axis Label"}, {P::TITLEFONTSIZE, "Title Font Size"}, {P::XAXISFONTSIZE, "X-Axis Label Font Size"},
          {P::YAXISFONTSIZE, "Y-Axis Label Font Size"}, {P::TICKFONTFAMILY, "Tick Font Family"},
          {P::TICKFONTSIZE, "Tick Font Size"}, {P::TICKFONTCOLOR, "Tick Font Color"}}},
        {"Date/Time Formatting",
         {{P::DATEFORMAT, "Date Format"}, {P::TIMEFORMAT, "Time Format"}, {P::DATETIMEFORMAT, "Datetime Format"},
          {P::AUTOCONVERTMJDLIVE, "Auto MJD->Datetime"}}},
        {"Allan Deviations", {{P::ADEVSTATISTIC, "Statistic"}, {P::ADEVINTERVAL, "AF Interval"}}},
    };
    auto page = makePage();
    ASSERT_EQ(page->groups().size(), std::size(groups));
    std::size_t rows = 0;
    for (std::size_t g = 0; g < std::size(groups); ++g) {
        QGroupBox* box = page->groups()[g];
        EXPECT_EQ(box->title(), QString::fromUtf8(groups[g].title));
        QList<LabeledWidget*> shown = box->findChildren<LabeledWidget*>(Qt::FindDirectChildrenOnly);
        ASSERT_EQ(shown.size(), qsizetype(groups[g].rows.size())) << groups[g].title;
        for (std::size_t r = 0; r < groups[g].rows.size(); ++r) {
            const auto [param, caption] = groups[g].rows[r];
            LabeledWidget* row = page->row(param);
            ASSERT_EQ(row, shown[qsizetype(r)]) << caption;
            EXPECT_EQ(row->caption()->text(), QString::fromUtf8(caption));
            // The captions share one width, that of the widest.
            EXPECT_EQ(row->caption()->maximumWidth(), page->row(P::XAXISFONTSIZE)->caption()->maximumWidth());
            EXPECT_GE(row->caption()->maximumWidth(), row->caption()->sizeHint().width());
            SettingsButtons* b = page->buttons(param);
            ASSERT_NE(b, nullptr);
            EXPECT_EQ(b->storedButton()->text(), QStringLiteral("Stored Value"));
            EXPECT_EQ(b->currentButton()->text(), QStringLiteral("Current Value"));
            EXPECT_EQ(b->applyButton()->text(), QStringLiteral("Apply && Save"));
            EXPECT_FALSE(page->indicator(param)->isChecked());
            ++rows;
        }
    }
    EXPECT_EQ(rows, page->params().size());
}

// One row changed on the page and what the store holds after "Apply && Save".
struct Change {
    P param;
    std::function<void(LabeledWidget&)> set;
    std::vector<std::pair<const char*, QString>> storedAfter;
};

std::vector<Change> everyRowChanged()
{
    auto text = [](const char* t) { return [t](LabeledWidget& w) { w.setText(QString::fromUtf8(t)); }; };
    auto number = [](int n) { return [n](LabeledWidget& w) { w.setValue(n); }; };
    auto flag = [](bool on) { return [on](LabeledWidget& w) { w.select(on); }; };
    auto colour = [](quint32 c) { return [c](LabeledWidget& w) { w.setColor(c); }; };
    return {
        {P::ADEVINTERVAL, number(2), {{"adevinterval", "4"}}},
        {P::ADEVSTATISTIC, number(0b101010), {{"adevstatistic", "42"}}},
        {P::AUTOCONVERTMJDLIVE, flag(false), {{"autoconvertmjdlive", "false"}}},
        {P::BACKGROUNDCOLOR, colour(0x123456), {{"backgroundcolor", "1193046"}}},
        {P::BACKGROUNDIMAGE, text("/tmp/bg.png"), {{"backgroundimage", "/tmp/bg.png"}}},
        {P::BACKGROUNDIMAGESTYLE, flag(true), {{"backgroundimagestyle", "true"}}},
        {P::BORDERCOLOR, colour(0x0000FF), {{"bordercolor", "255"}}},
        {P::DATAFILEVIEWER, text("gedit --new-window"), {{"datafileviewer", "gedit --new-window"}}},
        {P::DATEFORMAT, text("%d.%m.%Y"), {{"dateformat", "%d.%m.%Y"}}},
        {P::DATETIMEFORMAT, text("%Y%m%dT%H%M%S"), {{"datetimeformat", "%Y%m%dT%H%M%S"}}},
        {P::GRIDLINECOLOR, colour(0x00FF00), {{"gridlinecolor", "65280"}}},
        {P::HISTORY, number(77), {{"history", "77"}}},
        {P::IMGBORDER, flag(true), {{"imgborder", "true"}}},
        {P::IMGPATH, text("/tmp/kro images"), {{"imgpath", "/tmp/kro images"}}},
        {P::IMGTIMESTAMP, text("%Y%m%d%H%M%S"), {{"imgtimestamp", "%Y%m%d%H%M%S"}}},
        {P::IMGTYPE, text("bmp"), {{"imgtype", "bmp"}}},
        {P::IMGQUAL, number(2), {{"imgqual", "2"}}},
        {P::OFS, text("semicolon"), {{"ofs", "semicolon"}}},
        {P::OPATH, text("/tmp/out"), {{"opath", "/tmp/out"}}},
        {P::PNTRAD, number(9), {{"pntrad", "9"}}},
        {P::QUICKSTART, flag(false), {{"quickstart", "false"}}},
        {P::SCRIPTSPATH, text("/tmp/scripts"), {{"scriptspath", "/tmp/scripts"}}},
        {P::SIZE, [](LabeledWidget& w) { w.setDimensions(1280, 900); }, {{"width", "1280"}, {"height", "900"}}},
        {P::TICKFONTSIZE, number(13), {{"tickfontsize", "13"}}},
        {P::TICKFONTCOLOR, colour(0xABCDEF), {{"tickfontcolor", "11259375"}}},
        {P::TIMEFORMAT, text("%H.%M.%S"), {{"timeformat", "%H.%M.%S"}}},
        // Before the title changes: "Use Short Titles" is for the default title only.
        {P::USESHORTTITLES, flag(true), {{"useshorttitles", "true"}}},
        {P::TITLE, text("Clock comparison"), {{"title", "Clock comparison"}}},
        {P::TITLEFONTSIZE, number(21), {{"titlefontsize", "21"}}},
        {P::VERBOSE, flag(true), {{"verbose", "true"}}},
        {P::WORKSPACEPATH, text("/tmp/ws"), {{"workspacepath", "/tmp/ws"}}},
        {P::XAXISFONTSIZE, number(15), {{"xaxisfontsize", "15"}}},
        {P::XLBL, text("MJD"), {{"xlbl", "MJD"}}},
        {P::YAXISFONTSIZE, number(16), {{"yaxisfontsize", "16"}}},
        {P::YLBL, text("ADEV"), {{"ylbl", "ADEV"}}},
    };
}

// Changes every row (the tick font family to another family of the
// system), saves each and returns the values the rows then read.
std::map<int, LabeledValue> changeAndSaveEveryRow(KROSettingsGUI& page)
{
    std::map<int, LabeledValue> values;
    QSignalSpy saved(&page, &KROSettingsGUI::saved);
    for (const Change& c : everyRowChanged()) {
        LabeledWidget* row = page.row(c.param);
        c.set(*row);
        page.buttons(c.param)->applyButton()->click();
        values[int(c.param)] = row->value();
    }
    auto* family = static_cast<LabeledComboBox*>(page.row(P::TICKFONTFAMILY));
    const int other = family->combo()->currentIndex() == 0 ? family->combo()->count() - 1 : 0;
    family->setText(family->combo()->itemText(other));
    page.buttons(P::TICKFONTFAMILY)->applyButton()->click();
    values[int(P::TICKFONTFAMILY)] = family->value();
    EXPECT_EQ(saved.count(), int(everyRowChanged().size()) + 1);
    return values;
}

// Every row of the page shows the values it read when they were saved.
void expectRowsShow(const KROSettingsGUI& page, const std::map<int, LabeledValue>& values)
{
    for (const auto& [number, v] : values) {
        SCOPED_TRACE(number);
        const LabeledValue now = page.row(P(number))->value();
        EXPECT_EQ(now.text, v.text);
        EXPECT_EQ(now.number, v.number);
        EXPECT_EQ(now.flag, v.flag);
        EXPECT_EQ(now.colour.value, v.colour.value);
        EXPECT_EQ(now.width, v.width);
        EXPECT_EQ(now.height, v.height);
    }
}

TEST_F(SettingsPage, EveryRowSavesItsValueAndAFreshPageShowsIt)
{
    std::map<int, LabeledValue> values;
    {
        auto page = makePage();
        values = changeAndSaveEveryRow(*page);
        for (const Change& c : everyRowChanged())
            for (const auto& [key, text] : c.storedAfter)
                EXPECT_EQ(stored(QString::fromLatin1(key)), text) << key;
        for (P p : page->params())
            EXPECT_TRUE(page->indicator(p)->isChecked()) << int(p);
    }
    auto fresh = makePage();
    expectRowsShow(*fresh, values);
}

TEST_F(SettingsPage, AllanIntervalIsAPowerOfTwo)
{
    auto page = makePage();
    LabeledWidget* row = page->row(P::ADEVINTERVAL);
    PlotOptions o;
    const struct {
        int stored;
        int option;  // shown; -1 none
    } cases[] = {{1, 0}, {2, 1}, {3, 1}, {4, 2}, {8, 3}, {0, 3}, {-5, 3}};  // 0 and below keep the choice
    for (const auto& c : cases) {
        o.adevinterval = c.stored;
        page->showValue(P::ADEVINTERVAL, o);
        EXPECT_EQ(row->value().number, c.option) << c.stored;
    }
    // No option on stores 0.
    writeSetting(QStringLiteral("adevinterval"), QVariant(0));
    auto blank = makePage();
    ASSERT_EQ(blank->row(P::ADEVINTERVAL)->value().number, -1);
    blank->on_apply(P::ADEVINTERVAL);
    EXPECT_EQ(stored(QStringLiteral("adevinterval")), QStringLiteral("0"));
}

TEST_F(SettingsPage, CurrentAndStoredValues)
{
    auto page = makePage();
    // Program size: the main window's, within 2560 x 1440.
    m_mainWindow.resize(3000, 1000);
    page->buttons(P::SIZE)->currentButton()->click();
    EXPECT_EQ(page->row(P::SIZE)->value().width, 2560);
    EXPECT_EQ(page->row(P::SIZE)->value().height, 1000);
    // The formats always show the store, whatever the records hold.
    writeSetting(QStringLiteral("timeformat"), QStringLiteral("%H-%M"));
    page->m_current.title = QStringLiteral("Now");
    page->buttons(P::TIMEFORMAT)->currentButton()->click();
    EXPECT_EQ(page->row(P::TIMEFORMAT)->value().text, QStringLiteral("%H-%M"));
    page->buttons(P::TITLE)->currentButton()->click();
    EXPECT_EQ(page->row(P::TITLE)->value().text, QStringLiteral("Now"));
    page->buttons(P::TITLE)->storedButton()->click();
    EXPECT_EQ(page->row(P::TITLE)->value().text, page->m_stored.title);
    // A path is shown as stored and saved back unchanged.
    page->m_stored.opath = QStringLiteral("/data/out dir/x");
    page->on_stored(P::OPATH);
    EXPECT_EQ(page->row(P::OPATH)->value().text, QStringLiteral("/data/out dir/x"));
    page->on_apply(P::OPATH);
    EXPECT_EQ(stored(QStringLiteral("opath")), QStringLiteral("/data/out dir/x"));
}

TEST_F(SettingsPage, ShortTitlesOnlyForTheDefaultTitle)
{
    auto page = makePage();
    auto* title = static_cast<LabeledEdit*>(page->row(P::TITLE));
    LabeledWidget* shortTitles = page->row(P::USESHORTTITLES);
    title->edit()->setText(QStringLiteral("Default Title"));
    EXPECT_TRUE(shortTitles->isEnabled());
    title->edit()->setText(QStringLiteral("Default Titl"));
    EXPECT_FALSE(shortTitles->isEnabled());
    title->edit()->setText(QStringLiteral("Default Title"));
    EXPECT_TRUE(shortTitles->isEnabled());
}

TEST_F(SettingsPage, NumbersWithoutASettingDoNothing)
{
    auto page = makePage();
    QSignalSpy saved(page.get(), &KROSettingsGUI::saved);
    closeSettings();
    const QStringList keysBefore = kro::platform::openProgramSettings()->allKeys();
    for (int n : {3, 11, 12, 14, 21, 22, 23, 26, 28, 32, 33, 34, 43, 47, 50, 99, -1}) {
        page->on_apply(P(n));
        page->on_current(P(n));
        page->on_stored(P(n));
        EXPECT_EQ(page->row(P(n)), nullptr) << n;
    }
    EXPECT_EQ(saved.count(), 0);
    EXPECT_EQ(kro::platform::openProgramSettings()->allKeys(), keysBefore);
}

TEST_F(SettingsPage, IndicatorFollowsSavesAndChanges)
{
    auto page = makePage();
    auto* row = static_cast<LabeledEdit*>(page->row(P::XLBL));
    AcceptedCheck* done = page->indicator(P::XLBL);
    row->edit()->setText(QStringLiteral("Time"));
    page->buttons(P::XLBL)->applyButton()->click();
    EXPECT_TRUE(done->isChecked());
    row->edit()->setText(QStringLiteral("Time [s]"));  // typing
    EXPECT_FALSE(done->isChecked());
    EXPECT_EQ(stored(QStringLiteral("xlbl")), QStringLiteral("Time"));
    for (QPushButton* other : {page->buttons(P::XLBL)->currentButton(), page->buttons(P::XLBL)->storedButton()}) {
        page->buttons(P::XLBL)->applyButton()->click();
        EXPECT_TRUE(done->isChecked());
        other->click();
        EXPECT_FALSE(done->isChecked());
    }
}

TEST_F(SettingsPage, AStoreThatCannotBeWrittenIsReported)
{
    auto page = makePage();
    QSignalSpy saved(page.get(), &KROSettingsGUI::saved);
    // The settings file's place is taken by a folder.
    closeSettings();
    const QString file = configFile();
    QFile::remove(file);
    ASSERT_TRUE(QDir().mkpath(file));
    static_cast<LabeledEdit*>(page->row(P::YLBL))->edit()->setText(QStringLiteral("Phase"));
    {
        kro::test::ScriptedPrompts prompts;
        prompts->answerMessage(QMessageBox::Ok);
        page->buttons(P::YLBL)->applyButton()->click();
        ASSERT_EQ(prompts->asked().size(), 1u);
        EXPECT_TRUE(prompts->asked()[0].text.contains(QStringLiteral("Y-Axis Label")));
    }
    EXPECT_FALSE(page->indicator(P::YLBL)->isChecked());
    EXPECT_EQ(saved.count(), 0);
    // The edit stays on the page.
    EXPECT_EQ(page->row(P::YLBL)->value().text, QStringLiteral("Phase"));
    QDir().rmdir(file);
}

// ------------------------------------------------------------ in the main window

class SettingsInMainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        kro::test::clearSettingsStore();
        writeSetting(QStringLiteral("quickstart"), QVariant(false));
        m_verbose = kro::isVerbose();
    }
    void TearDown() override { kro::setVerbose(m_verbose); }
    bool m_verbose = false;
};

TEST_F(SettingsInMainWindow, SavedSettingsTakeEffectAtOnce)
{
    kro::setVerbose(false);
    KROGui w(QStringList{QStringLiteral("kro")});
    KROSettingsGUI* page = w.settingsPage();
    ASSERT_EQ(w.centralStack()->widget(1), page);

    page->row(P::VERBOSE)->select(true);
    page->on_apply(P::VERBOSE);
    EXPECT_TRUE(kro::isVerbose());
    EXPECT_TRUE(w.console()->toPlainText().contains(QStringLiteral("Verbose mode enabled.")));
    EXPECT_EQ(w.console()->history().entries().back(), QStringLiteral("verbose on"));

    page->row(P::HISTORY)->setValue(12);
    page->on_apply(P::HISTORY);
    EXPECT_EQ(w.console()->history().limit(), 13);
    EXPECT_EQ(w.debugConsole()->history().limit(), 13);

    page->row(P::TICKFONTSIZE)->setValue(17);
    page->on_apply(P::TICKFONTSIZE);
    EXPECT_EQ(w.activePlotter()->m_tickFont.pointSize(), 17);
    // The page's stored record follows.
    EXPECT_EQ(page->m_stored.tickfontsize, 17);
    EXPECT_EQ(page->m_stored.history, 12);
}

TEST_F(SettingsInMainWindow, StoredVerboseAndHistoryTakeEffectAtStart)
{
    for (bool on : {true, false}) {
        writeSetting(QStringLiteral("verbose"), QVariant(on));
        writeSetting(QStringLiteral("history"), QVariant(on ? 5 : 40));
        kro::setVerbose(!on);
        KROGui w(QStringList{QStringLiteral("kro")});
        EXPECT_EQ(kro::isVerbose(), on);
        EXPECT_EQ(w.console()->history().limit(), on ? 6 : 41);
    }
}

// The real program, started twice on one settings file after the page
// saved every row: neither run loses a saved value, a fresh page shows them
// all, and the program applies the stored verbose mode and history length.
TEST_F(SettingsInMainWindow, EverySettingSurvivesTwoRunsOfTheProgram)
{
    if (kro::test::programPath().isEmpty())
        GTEST_SKIP() << "kro is not built next to the tests";
    QWidget mainWindow;
    std::map<int, LabeledValue> values;
    {
        KROSettingsGUI page(nullptr, &mainWindow);
        values = changeAndSaveEveryRow(page);
    }
    writeSetting(QStringLiteral("eula"), QStringLiteral("Version (Linux): " KRO_VERSION_TEXT));
    closeSettings();

    const QString home = kro::test::homeDir();
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    // The script logs the console: with verbose mode on, a change of the
    // working folder is reported there.
    const QString log = work.filePath(QStringLiteral("console.log"));
    kro::test::writeFile(work.filePath(QStringLiteral("run.krs")),
                         QStringLiteral("sink %1\ncd %2\nexit\n").arg(log, home).toUtf8());
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        QFile::remove(log);
        QProcess p;
        kro::test::startProgram(p, home, {work.filePath(QStringLiteral("run.krs"))});
        ASSERT_TRUE(p.waitForFinished(30000)) << p.readAllStandardError().toStdString();
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        EXPECT_TRUE(kro::test::readFile(log).contains("Working directory set to")) << kro::test::readFile(log).data();
    }
    closeSettings();
    KROSettingsGUI fresh(nullptr, &mainWindow);
    expectRowsShow(fresh, values);
}

} // namespace

// At the size the program opens in, every row of the page keeps its natural
// height and shows its caption and buttons whole; the page scrolls instead.
TEST_F(SettingsInMainWindow, RowsKeepTheirHeightAndShowTheirCaptionsWhole)
{
    KROGui w(QStringList{QStringLiteral("kro")});
    w.resize(1330, 975);
    w.centralStack()->setCurrentIndex(1);
    KROSettingsGUI* page = w.settingsPage();
    QApplication::processEvents();
    if (const QString out = qEnvironmentVariable("KRO_PICTURES"); !out.isEmpty())
        page->grab().save(out + "/settings-page.png");
    int rows = 0;
    for (int number = 0; number < 50; ++number) {
        LabeledWidget* r = page->row(static_cast<P>(number));
        if (!r)
            continue;
        ++rows;
        const QString caption = r->caption()->text();
        EXPECT_GE(r->height(), r->sizeHint().height()) << caption.toStdString();
        EXPECT_GE(r->caption()->width(), r->caption()->sizeHint().width()) << caption.toStdString();
        SettingsButtons* bar = page->buttons(static_cast<P>(number));
        ASSERT_NE(bar, nullptr);
        for (QPushButton* b : {bar->storedButton(), bar->currentButton(), bar->applyButton()})
            EXPECT_GE(b->width(), b->sizeHint().width()) << caption.toStdString() << ": " << b->text().toStdString();
        // Nothing of the row lies beyond what the page can scroll to.
        const QPoint right = r->mapTo(page->widget(), QPoint(r->width(), 0));
        EXPECT_LE(right.x(), page->viewport()->width() + page->horizontalScrollBar()->maximum())
            << caption.toStdString();
    }
    EXPECT_EQ(rows, 36);
}
