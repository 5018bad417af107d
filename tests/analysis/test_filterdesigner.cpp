// The filter designer dialog (fields, buttons, types and responses) and its
// coefficient view with the export file.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include <QMessageBox>

#include <csignal>
#include <cmath>
#include <complex>

#include <sys/resource.h>

#include "analysis/coeffedit.h"
#include "analysis/filterdesigner.h"
#include "core/linearfilter.h"
#include "support/files.h"
#include "support/prompts.h"

namespace {

void typeInto(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

bool buttonsOn(const FiltDesign& d)
{
    const bool ok = d.m_okButton->isEnabled();
    EXPECT_EQ(d.m_coeffsButton->isEnabled(), ok);
    EXPECT_EQ(d.m_responseButton->isEnabled(), ok);
    return ok;
}

void click(QButtonGroup* g, int id) { g->button(id)->click(); }

// The coefficient window the designer opened last, and its view.
CoeffEdit* lastCoefficientView(FiltDesign& d)
{
    const QList<CoeffEdit*> views = d.findChildren<CoeffEdit*>();
    return views.isEmpty() ? nullptr : views.back();
}

QTextDocument* documentOf(int type, int response, int window, const FilterDesign& d, QTextDocument& doc)
{
    doc.setHtml(coefficientDocument(type, response, window, d));
    return &doc;
}

} // namespace

TEST(FilterDesigner, ButtonsFollowWhetherTheInputsGiveAFilter)
{
    for (FilterType type : {FIR, IIR, SMOOTH}) {
        FiltDesign d(type);
        d.show();
        EXPECT_FALSE(buttonsOn(d)) << "empty fields, type " << type;
        typeInto(d.field(FiltDesign::FS), "1000");
        typeInto(d.field(FiltDesign::FC), "100");
        for (const char* order : {"", "0", "-3", "x"}) {
            typeInto(d.field(FiltDesign::ORDER), QString::fromLatin1(order));
            EXPECT_FALSE(buttonsOn(d)) << "order '" << order << "' type " << type;
            EXPECT_FALSE(d.problem().isEmpty());
        }
        typeInto(d.field(FiltDesign::ORDER), "4");
        EXPECT_TRUE(buttonsOn(d)) << "type " << type;
        EXPECT_TRUE(d.problem().isEmpty());
        typeInto(d.field(FiltDesign::FS), "");
        EXPECT_FALSE(buttonsOn(d)) << "no sample rate, type " << type;
    }
}

TEST(FilterDesigner, CutOffsMustLieInsideTheBand)
{
    FiltDesign d(IIR);
    d.show();
    typeInto(d.field(FiltDesign::FS), "1000");
    typeInto(d.field(FiltDesign::ORDER), "2");
    typeInto(d.field(FiltDesign::FC), "600");
    EXPECT_FALSE(buttonsOn(d));
    EXPECT_TRUE(d.problem().contains("half the sample rate (500 Hz)")) << d.problem().toStdString();
    typeInto(d.field(FiltDesign::FC), "100");
    EXPECT_TRUE(buttonsOn(d));
    typeInto(d.field(FiltDesign::FS), "-1000");
    EXPECT_FALSE(buttonsOn(d));
    // The coefficients of the last good design stay.
    EXPECT_EQ(d.m_nb, 3);
    EXPECT_EQ(d.m_order, 2);
}

TEST(FilterDesigner, SmoothTakesAnEvenOrderAndNoResponseChoice)
{
    FiltDesign d(SMOOTH);
    d.show();
    typeInto(d.field(FiltDesign::FS), "10");
    typeInto(d.field(FiltDesign::ORDER), "5");
    ASSERT_TRUE(buttonsOn(d));
    EXPECT_EQ(d.m_order, 6);
    EXPECT_EQ(d.field(FiltDesign::ORDER)->text(), "5");
    EXPECT_EQ(d.m_b, std::vector<double>(7, 1.0 / 7));
    EXPECT_EQ(d.m_nb, 7);
    EXPECT_EQ(d.m_na, 1);
    EXPECT_FALSE(d.m_responseGroup->button(BANDPASS)->isEnabled() && d.m_responseGroup->button(BANDPASS)->isVisibleTo(&d)
                 && d.m_responseGroup->button(BANDPASS)->parentWidget()->isEnabled());
    for (int id = FiltDesign::FC; id <= FiltDesign::FHI; ++id)
        EXPECT_FALSE(d.field(id)->isVisible()) << id;
    EXPECT_FALSE(d.m_windowCombo->isVisible());
}

TEST(FilterDesigner, TypeAndResponseChangesShowTheirFields)
{
    FiltDesign d(IIR);
    d.show();
    EXPECT_FALSE(d.m_removeDelayBox->isChecked());
    EXPECT_FALSE(d.m_removeDelayBox->isEnabled());
    EXPECT_FALSE(d.m_windowCombo->isVisible());
    click(d.m_typeGroup, FIR);
    EXPECT_FALSE(d.m_removeDelayBox->isChecked()) << "FIR after IIR keeps the box off";
    EXPECT_TRUE(d.m_removeDelayBox->isEnabled());
    EXPECT_TRUE(d.m_windowCombo->isVisible());
    click(d.m_typeGroup, SMOOTH);
    EXPECT_TRUE(d.m_removeDelayBox->isChecked());

    click(d.m_typeGroup, FIR);
    click(d.m_responseGroup, BANDPASS);
    EXPECT_EQ(d.m_responseType, BANDPASS);
    EXPECT_FALSE(d.field(FiltDesign::FC)->isVisible());
    for (int id = FiltDesign::CENTRE; id <= FiltDesign::FHI; ++id)
        EXPECT_TRUE(d.field(id)->isVisible()) << id;
    click(d.m_responseGroup, HIGHPASS);
    EXPECT_TRUE(d.field(FiltDesign::FC)->isVisible());
    EXPECT_FALSE(d.field(FiltDesign::FLO)->isVisible());
}

TEST(FilterDesigner, CentreAndBandwidthFillTheEdgesAndBack)
{
    FiltDesign d(FIR);
    d.show();
    click(d.m_responseGroup, BANDPASS);
    typeInto(d.field(FiltDesign::FS), "1000");
    typeInto(d.field(FiltDesign::ORDER), "8");
    typeInto(d.field(FiltDesign::CENTRE), "150");
    typeInto(d.field(FiltDesign::BANDWIDTH), "100.000002");
    EXPECT_EQ(d.field(FiltDesign::FLO)->text(), "100");
    EXPECT_EQ(d.field(FiltDesign::FHI)->text(), "200");
    EXPECT_TRUE(buttonsOn(d));
    EXPECT_DOUBLE_EQ(d.m_band, 100.0);
    typeInto(d.field(FiltDesign::FHI), "300");
    EXPECT_EQ(d.field(FiltDesign::CENTRE)->text(), "200");
    EXPECT_EQ(d.field(FiltDesign::BANDWIDTH)->text(), "200");
    typeInto(d.field(FiltDesign::FHI), "50");
    EXPECT_FALSE(buttonsOn(d)) << "upper edge below the lower";
}

TEST(FilterDesigner, OkKeepsTheDesignAndTheOptions)
{
    FiltDesign d(FIR);
    d.show();
    typeInto(d.field(FiltDesign::FS), "1000");
    typeInto(d.field(FiltDesign::FC), "100");
    typeInto(d.field(FiltDesign::ORDER), "4");
    d.m_windowCombo->setCurrentText("Hamming");
    Q_EMIT d.m_windowCombo->textActivated("Hamming");
    EXPECT_EQ(d.m_windowType, HAMMING);
    d.m_overlayBox->setChecked(true);
    d.m_removeDelayBox->setChecked(false);
    QTest::mouseClick(d.m_okButton, Qt::LeftButton);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(d.m_overlay);
    EXPECT_FALSE(d.m_removeDelay);
    EXPECT_EQ(d.m_nb, 5);
    EXPECT_NEAR(d.m_b[2], 0.2, 1e-15);
    EXPECT_NEAR(d.m_b[0], 0.151365346 * 0.08, 1e-9) << "Hamming is 0.08 at the ends";
    EXPECT_DOUBLE_EQ(d.m_band, 100.0);
}

TEST(CoefficientView, DocumentListsTheDesign)
{
    FilterDesign fir = designFilter([] {
        FilterInputs in;
        in.type = FIR;
        in.order = 4;
        in.fs = 1000;
        in.fc = 100;
        return in;
    }());
    QTextDocument doc;
    documentOf(FIR, LOWPASS, BOXCAR, fir, doc);
    struct Anchor {
        const char* name;
        const char* text;  // null: absent
    } anchors[] = {
        {"title", "Finite Impulse Response (FIR)"},
        {"window", "Window: Boxcar"},
        {"type", nullptr},
        {"responsetype", "Response Type: Lowpass"},
        {"fs", "Sample Rate: 1000"},
        {"f0hz", "Cutoff Frequency (Hz): 100"},
        {"f0", "Cutoff Frequency (Normalized): 0.2"},
        {"f0lohz", nullptr},
        {"order", "Order: 4"},
    };
    for (const Anchor& a : anchors) {
        const QString got = anchorText(doc, QString::fromLatin1(a.name));
        if (a.text)
            EXPECT_EQ(got, a.text) << a.name;
        else
            EXPECT_TRUE(got.isNull()) << a.name;
    }
    const QStringList b = anchoredCells(doc, "bcoeff");
    ASSERT_EQ(b.size(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(b[i].toDouble(), fir.b[static_cast<std::size_t>(i)]) << "17 digits give the value back";
    EXPECT_EQ(anchoredCells(doc, "acoeff"), QStringList{"1"});
    EXPECT_TRUE(doc.toPlainText().contains("b0-b1:")) << doc.toPlainText().toStdString();
    EXPECT_TRUE(doc.toPlainText().contains("b4:"));
}

TEST(CoefficientView, ExportFileLayout)
{
    FilterInputs in;
    in.type = FIR;
    in.order = 4;
    in.fs = 1000;
    in.fc = 100;
    QTextDocument doc;
    documentOf(FIR, LOWPASS, BOXCAR, designFilter(in), doc);
    const QString text = coefficientFileText(doc);
    const QStringList lines = text.split('\n');
    ASSERT_GE(lines.size(), 12);
    EXPECT_EQ(lines[0], "% KRO Generated filter coefficients");
    EXPECT_EQ(lines[1], "% ---------------------------------");
    EXPECT_EQ(lines[2], "% Finite Impulse Response (FIR)");
    EXPECT_EQ(lines[3], "% Window: Boxcar");
    EXPECT_EQ(lines[4], "% Response Type: Lowpass");
    EXPECT_EQ(lines[5], "% Sample Rate: 1000");
    EXPECT_EQ(lines[6], "% Cutoff Frequency (Hz): 100");
    EXPECT_EQ(lines[7], "% Cutoff Frequency (Normalized): 0.2");
    EXPECT_EQ(lines[8], "% Order: 4");
    EXPECT_EQ(lines[9], "");
    EXPECT_EQ(lines[10], "% Coefficients");
    EXPECT_TRUE(lines[11].startsWith("b = [ ")) << lines[11].toStdString();
    EXPECT_TRUE(lines[11].endsWith(" ];"));
    EXPECT_EQ(lines[11].split(' ', Qt::SkipEmptyParts).size(), 3 + 5 + 1);
    EXPECT_EQ(lines[12], "a = [ 1 ];");

    // Seven values: five on the first line, continued, aligned under the first.
    EXPECT_EQ(formatCoefficientRow("b = [ ", {"1", "-22", "333", "4", "5", "6", "77"}),
              "b = [ 1   -22 333 4   5   ...\n      6   77 ];\n");
    EXPECT_EQ(formatCoefficientRow("a = [ ", {}), "a = [ ];\n");
}

TEST(CoefficientView, BandpassOfOrderThreeExportsSevenValuesPerRow)
{
    FilterInputs in;
    in.type = IIR;
    in.response = BANDPASS;
    in.order = 3;
    in.fs = 1000;
    in.flo = 100;
    in.fhi = 200;
    const FilterDesign d = designFilter(in);
    ASSERT_TRUE(d.ok);
    QTextDocument doc;
    documentOf(IIR, BANDPASS, BOXCAR, d, doc);
    const QStringList lines = coefficientFileText(doc).split('\n');
    const qsizetype b = lines.indexOf(QRegularExpression("^b = \\[.*"));
    ASSERT_GE(b, 0);
    EXPECT_TRUE(lines[b].endsWith("...")) << lines[b].toStdString();
    EXPECT_EQ(lines[b].split(' ', Qt::SkipEmptyParts).size(), 3 + 5 + 1);
    EXPECT_TRUE(lines[b + 1].startsWith("      ") && lines[b + 1].endsWith(" ];"));
    EXPECT_EQ(lines[b + 1].split(' ', Qt::SkipEmptyParts).size(), 2 + 1);
    EXPECT_TRUE(lines.contains("% Type: Butterworth"));
    EXPECT_TRUE(lines.contains("% Cutoff Frequency, hi (Normalized): 0.4"));

    // The exported numbers carry the full precision: a filter read back from
    // the file is the filter designed.
    std::vector<double> back;
    for (const QString& v : (lines[b].mid(6) + lines[b + 1]).split(' ', Qt::SkipEmptyParts))
        if (v != "..." && v != "];")
            back.push_back(v.toDouble());
    EXPECT_EQ(back, d.b);
}

TEST(CoefficientView, ExportNamesAndTypedText)
{
    QTemporaryDir dir;
    FiltDesign design(FIR);
    design.show();
    typeInto(design.field(FiltDesign::FS), "1000");
    typeInto(design.field(FiltDesign::FC), "100");
    typeInto(design.field(FiltDesign::ORDER), "4");
    QTest::mouseClick(design.m_coeffsButton, Qt::LeftButton);
    CoeffEdit* view = lastCoefficientView(design);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->window()->windowTitle(), "Filter Coefficients");

    // Typed text goes into the file as the view shows it.
    QTextCursor c = view->document()->find("Sample Rate: 1000");
    ASSERT_FALSE(c.isNull());
    c.clearSelection();
    view->setTextCursor(c);
    QTest::keyClicks(view, " Hz (typed)");

    struct Case {
        const char* typed;
        const char* filter;
        const char* written;
    } cases[] = {
        {"coeffs", "Text (*.txt)", "coeffs.txt"},
        {"lowpass.m", "Script (*.m)", "lowpass.m"},
        {"plain", "All Files (*.*)", "plain"},
        {"twice.txt", "Script (*.m)", "twice.txt.m"},
    };
    for (const Case& k : cases) {
        kro::test::ScriptedPrompts prompts;
        prompts->answerMenu("Export to .m script (*.m)");
        prompts->answerSaveFile(dir.filePath(QString::fromLatin1(k.typed)), QString::fromLatin1(k.filter));
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), view->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(view->viewport(), &event);
        const QString path = dir.filePath(QString::fromLatin1(k.written));
        EXPECT_EQ(design.m_exportPath, path) << k.typed;
        const QString text = QString::fromUtf8(kro::test::readFile(path));
        EXPECT_TRUE(text.contains("% Sample Rate: 1000 Hz (typed)\n")) << k.written << "\n" << text.toStdString();
    }
    // Cancelling writes nothing and keeps the last path.
    kro::test::ScriptedPrompts prompts;
    prompts->answerMenu("Export to .m script (*.m)");
    prompts->answerSaveFile(QString());
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), view->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(view->viewport(), &event);
    EXPECT_EQ(design.m_exportPath, dir.filePath("twice.txt.m"));
}

namespace {

// Writes past the given number of bytes fail as on a full disk (EFBIG, the
// signal ignored) while the object lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

} // namespace

TEST(CoefficientView, AFailedExportKeepsTheOldFileAndSaysSo)
{
    QTemporaryDir dir;
    FiltDesign design(FIR);
    design.show();
    typeInto(design.field(FiltDesign::FS), "1000");
    typeInto(design.field(FiltDesign::FC), "100");
    typeInto(design.field(FiltDesign::ORDER), "40");
    QTest::mouseClick(design.m_coeffsButton, Qt::LeftButton);
    CoeffEdit* view = lastCoefficientView(design);
    ASSERT_NE(view, nullptr);
    const QString path = kro::test::writeFile(dir.filePath("coeffs.m"), "old coefficients\n");

    kro::test::ScriptedPrompts prompts;
    prompts->answerMenu("Export to .m script (*.m)");
    prompts->answerSaveFile(path, "Script (*.m)");
    prompts->answerMessage(QMessageBox::Ok);
    {
        // The export text is far longer than this: the disk "fills" midway.
        FileSizeLimit limit(512);
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), view->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(view->viewport(), &event);
    }
    EXPECT_EQ(kro::test::readFile(path), QByteArray("old coefficients\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"coeffs.m"}) << "no temporary file stays";
    ASSERT_EQ(prompts->asked().size(), 3u);
    const auto& warning = prompts->asked().back();
    EXPECT_EQ(warning.kind, kro::ScriptedPrompter::Kind::Message);
    EXPECT_EQ(warning.messageKind, kro::Prompter::MessageKind::Warning);
    EXPECT_TRUE(warning.text.startsWith("The coefficients could not be written to " + path)) << warning.text.toStdString();

    // With room on the disk the same export replaces the file.
    prompts->answerMenu("Export to .m script (*.m)");
    prompts->answerSaveFile(path, "Script (*.m)");
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), view->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(view->viewport(), &event);
    const QByteArray written = kro::test::readFile(path);
    EXPECT_GT(written.size(), 512);
    EXPECT_TRUE(written.startsWith("% KRO Generated filter coefficients\n"));
}
