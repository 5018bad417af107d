// The FFT configuration dialog: its start values, the reciprocal period and
// rate, the points per slice, the window, and the answers it returns.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "analysis/fftdialog.h"
#include "core/linearfilter.h"
#include "support/prompts.h"

namespace {
void typeInto(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}
} // namespace

TEST(FftDialog, OpensWithThePlotsPeriodAndAllPointsInOneSlice)
{
    kro::test::ScriptedPrompts prompts;
    QString period, rate, points;
    int slices = 0, window = -1;
    bool okEnabled = false, carrierShown = true;
    prompts->answerDialog([&](QDialog* d) {
        auto* dlg = static_cast<FFTInputDialog*>(d);
        period = dlg->m_periodEdit->text();
        rate = dlg->m_rateEdit->text();
        points = dlg->m_pointsEdit->text();
        slices = dlg->m_slicesSpin->value();
        window = dlg->m_windowCombo->currentIndex();
        okEnabled = dlg->m_okButton->isEnabled();
        carrierShown = dlg->m_carrierEdit != nullptr;
        return int(QDialog::Accepted);
    });
    bool ok = false;
    const FftSettings s = promptFftSettings(1000, 0.5, false, &ok);
    EXPECT_EQ(period, "0.5");
    EXPECT_EQ(rate, "2");
    EXPECT_EQ(points, "1000");
    EXPECT_EQ(slices, 1);
    EXPECT_EQ(window, 3);
    EXPECT_TRUE(okEnabled);
    EXPECT_FALSE(carrierShown);
    ASSERT_TRUE(ok);
    EXPECT_EQ(s.samplePeriod, 0.5);
    EXPECT_EQ(s.sampleRate, 2.0);
    EXPECT_EQ(s.slices, 1);
    EXPECT_EQ(s.pointsPerSlice, 1000);
    EXPECT_EQ(s.window, HAMMING);
    EXPECT_EQ(s.windowName, "Hamming");
}

TEST(FftDialog, FieldsFollowEachOther)
{
    FFTInputDialog dlg(true);
    dlg.setTotalPoints(1000);
    dlg.setSamplePeriod(0.5);
    dlg.show();
    // Slices: the points per slice, truncated.
    struct SliceCase {
        const char* typed;
        const char* points;
        bool ok;
    } slices[] = {{"3", "333", true}, {"2000", "0", false}, {"499", "2", true}, {"501", "1", false}};
    for (const SliceCase& c : slices) {
        typeInto(dlg.m_slicesSpin->findChild<QLineEdit*>(), QString::fromLatin1(c.typed));
        EXPECT_EQ(dlg.m_pointsEdit->text(), c.points) << c.typed;
        EXPECT_EQ(dlg.m_okButton->isEnabled(), c.ok) << c.typed;
    }
    typeInto(dlg.m_slicesSpin->findChild<QLineEdit*>(), "1");

    // Rate and period are reciprocal, and a change does not come back.
    typeInto(dlg.m_rateEdit, "4");
    EXPECT_EQ(dlg.m_periodEdit->text(), "0.25");
    EXPECT_EQ(dlg.m_rateEdit->text(), "4");
    typeInto(dlg.m_periodEdit, "3");
    EXPECT_EQ(dlg.m_rateEdit->text(), "0.3333333333");
    EXPECT_TRUE(dlg.m_okButton->isEnabled());

    // Rates that give no spectrum, and texts that are no numbers.
    for (const char* bad : {"0", "-2", "", "abc"}) {
        typeInto(dlg.m_rateEdit, QString::fromLatin1(bad));
        EXPECT_FALSE(dlg.m_okButton->isEnabled()) << bad;
    }
    typeInto(dlg.m_rateEdit, "8");
    EXPECT_TRUE(dlg.m_okButton->isEnabled());

    // The carrier of the phase noise must be a number too.
    EXPECT_EQ(dlg.m_carrierEdit->text(), "10e6");
    typeInto(dlg.m_carrierEdit, "x");
    EXPECT_FALSE(dlg.m_okButton->isEnabled());
    typeInto(dlg.m_carrierEdit, "5e6");
    EXPECT_TRUE(dlg.m_okButton->isEnabled());
    EXPECT_EQ(dlg.settings().carrier, 5e6);
    EXPECT_EQ(dlg.settings().sampleRate, 8.0);
}

TEST(FftDialog, WindowChoiceAndCancel)
{
    kro::test::ScriptedPrompts prompts;
    prompts->answerDialog([](QDialog* d) {
        auto* dlg = static_cast<FFTInputDialog*>(d);
        dlg->m_windowCombo->setCurrentText("Boxcar");
        return int(QDialog::Accepted);
    });
    prompts->answerDialog(QDialog::Rejected);
    bool ok = false;
    const FftSettings s = promptFftSettings(64, 1.0, true, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(s.window, BOXCAR);
    EXPECT_EQ(s.windowName, "Boxcar");
    EXPECT_EQ(s.carrier, 10e6);
    promptFftSettings(64, 1.0, false, &ok);
    EXPECT_FALSE(ok);
}

TEST(FftDialog, HelpExplainsEachGroup)
{
    kro::test::ScriptedPrompts prompts;
    prompts->answerMessage(QMessageBox::Ok);
    FFTInputDialog dlg(true);
    dlg.show();
    auto* help = dlg.findChild<QPushButton*>();
    for (QPushButton* b : dlg.findChildren<QPushButton*>())
        if (b->text() == "Help")
            help = b;
    QTest::mouseClick(help, Qt::LeftButton);
    ASSERT_EQ(prompts->asked().size(), 1u);
    EXPECT_EQ(prompts->asked()[0].title, "Help");
    const QString text = prompts->asked()[0].text;
    EXPECT_TRUE(text.startsWith("<u>FFT Options Dialog</u><br><br><b>Carrier Frequency:<br></b>"));
    EXPECT_TRUE(text.contains(QString::fromUtf8("sample period (τ) in seconds"))) << text.toStdString();
    EXPECT_FALSE(FFTInputDialog(false).m_helpText.contains("Carrier"));
}
