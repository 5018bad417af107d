// The signal-processing analyses reached from the main window: the "poly"
// and "smooth" commands, and toolbox buttons that open the FFT dialog or
// send the detrend command through the console.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDialog>
#include <QScrollArea>
#include <QToolBox>

#include <cmath>
#include <memory>

#include "command/commandedit.h"
#include "core/settings.h"
#include "gui/krogui.h"
#include "plot/plotter.h"
#include "support/prompts.h"
#include "support/test_env.h"

namespace {

class AnalysisCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        kro::test::clearSettingsStore();
        writeSetting(QStringLiteral("quickstart"), QVariant(false));
        window = std::make_unique<KROGui>(QStringList{QStringLiteral("kro")});
        plot = window->activePlotter();
        ASSERT_NE(plot, nullptr);
        CurveData line;
        for (int i = 0; i < 12; ++i)
            line.append(i, 2.0 * i + 1 + (i % 2 ? 0.5 : -0.5));
        plot->setCurveData(0, line, true);
    }
    // The console text a command line added.
    QString run(const QString& line)
    {
        const qsizetype before = window->console()->toPlainText().size();
        window->console()->command(line, true);
        return window->console()->toPlainText().mid(before);
    }
    QAbstractButton* button(const QString& text) const
    {
        QToolBox* box = window->toolbox();
        for (int page = 0; page < box->count(); ++page)
            if (auto* area = qobject_cast<QScrollArea*>(box->widget(page)))
                for (auto* b : area->widget()->findChildren<QAbstractButton*>())
                    if (b->text() == text)
                        return b;
        return nullptr;
    }

    std::unique_ptr<KROGui> window;
    Plotter* plot = nullptr;
};

} // namespace

TEST_F(AnalysisCommands, PolyAndSmoothCommandsReachThePlot)
{
    // y = 2x + 1 -+ 0.5 at x = 0 .. 11: the slope is 2 + 3/143, the
    // intercept 12 - 5.5 times it.
    // Each coefficient is printed with every digit it needs.
    const QString equation = run("poly1 model");
    EXPECT_TRUE(equation.contains("C1: Polynomial equation: f(x) = 2.02097902097")) << equation.toStdString();
    EXPECT_TRUE(equation.contains("x + 0.88461538461")) << equation.toStdString();
    run("smooth 4 C1 replace");
    ASSERT_EQ(plot->curve(0)->pointCount(), 9u);
    EXPECT_DOUBLE_EQ(plot->curve(0)->y(0), (0.5 + 3.5 + 4.5 + 7.5) / 4);
    run("poly1 detrend");
    for (std::size_t i = 0; i < 9; ++i)
        EXPECT_NEAR(plot->curve(0)->y(i), 0.0, 1e-9) << i;
}

TEST_F(AnalysisCommands, ToolboxButtonsRunTheAnalyses)
{
    // "Detrend: Linear" sends its command through the console.
    QAbstractButton* detrend = button(QStringLiteral("Detrend: Linear"));
    ASSERT_NE(detrend, nullptr);
    detrend->click();
    EXPECT_TRUE(window->console()->toPlainText().contains("poly1 detrend"));
    const double slope = 2 + 3.0 / 143, intercept = 12 - 5.5 * slope;
    for (std::size_t i = 0; i < 12; ++i) {
        const double y = 2.0 * i + 1 + (i % 2 ? 0.5 : -0.5);
        EXPECT_NEAR(plot->curve(0)->y(i), y - (intercept + slope * i), 1e-9) << i;
    }

    // The spectrum button opens the FFT dialog and makes a result plot.
    kro::test::ScriptedPrompts prompts;
    Plotter* result = nullptr;
    QObject::connect(plot, &Plotter::newPlotterBuilt, [&](Plotter* p) { result = p; });
    QAbstractButton* psd = button(QStringLiteral("Power Spectral Density (PSD)"));
    ASSERT_NE(psd, nullptr);
    prompts->answerDialog(QDialog::Accepted);
    psd->click();
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->title(), "Power Spectral Density");
    EXPECT_EQ(result->curve(0)->pointCount(), 6u);
    EXPECT_EQ(window->activePlotter(), result);
}
