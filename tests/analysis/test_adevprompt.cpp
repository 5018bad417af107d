// The "Allan Deviations" dialog: pages per curve, the "All" page mirroring
// them both ways, presets and their errors, the requests it gives, and the
// refusal of a run that could never end or give numbers.
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include "analysis/adevprompt.h"
#include "core/exceptions.h"
#include "support/prompts.h"

namespace {

std::unique_ptr<ADevPrompt> dialogFor(std::vector<int> ids)
{
    std::vector<QColor> colours;
    for (std::size_t i = 0; i < ids.size(); ++i)
        colours.push_back(QColor::fromHsv(int(i) * 60, 255, 200));
    const IdArray a = IdArray::fromIds(ids);
    return std::make_unique<ADevPrompt>(&a, colours);
}

void click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton, {}, b->rect().center()); }

} // namespace

TEST(ADevPrompt, PagesAndTabs)
{
    auto one = dialogFor({4});
    EXPECT_EQ(one->windowTitle(), "Allan Deviations");
    EXPECT_FALSE(one->m_hasAllPage);
    ASSERT_EQ(one->m_tabs->count(), 1);
    EXPECT_EQ(one->m_tabBar->tabText(0), "C5");
    EXPECT_EQ(one->m_tabBar->tabTextColor(0), QColor::fromHsv(0, 255, 200));

    auto two = dialogFor({0, 2});
    ASSERT_EQ(two->m_tabs->count(), 3);
    EXPECT_EQ(two->m_tabBar->tabText(0), "All");
    EXPECT_EQ(two->m_tabBar->tabText(2), "C3");
    EXPECT_EQ(two->m_tabBar->tabTextColor(0), QColor(Qt::black));
    EXPECT_EQ(two->m_tabBar->tabTextColor(2), QColor::fromHsv(60, 255, 200));
    EXPECT_EQ(two->page(-1)->m_curveId, -1);
    EXPECT_THROW(two->page(1), kroexception);

    auto none = dialogFor({});
    EXPECT_EQ(none->m_tabs->count(), 1);
    EXPECT_TRUE(none->requests().empty());

    EXPECT_THROW(ADevPrompt(nullptr, {}), kroexception);
}

TEST(ADevPrompt, PresetsShowOnTheAllPageAndBadIdsAreCollected)
{
    auto d = dialogFor({0, 1});
    d->setTypes(NORMAL | MTIE, 0);
    d->setTypes(NORMAL | HADAMARD, 1);
    d->setAFInterval(OCTAVE, 0);
    d->setAFInterval(DECADE, 1);
    d->setTau(0.001234567, 0);
    ADevPromptPage* all = d->page(-1);
    EXPECT_EQ(all->m_typeBoxes[NORMAL]->state(), 2);
    EXPECT_EQ(all->m_typeBoxes[MTIE]->state(), 1);
    EXPECT_EQ(all->m_typeBoxes[HADAMARD]->state(), 1);
    EXPECT_EQ(all->m_typeBoxes[OVERLAPPING]->state(), 0);
    for (int v : {OCTAVE, DECADE, MANY_TAU, ALL_TAU})
        EXPECT_EQ(all->m_intervalButtons[v]->state(), 0) << v;
    EXPECT_EQ(d->page(0)->m_tauEdit->text(), "0.00123457");

    EXPECT_TRUE(d->m_errors.isEmpty());
    d->setTau(1, 7);
    d->setTypes(1, 7);
    d->setAFInterval(1, 7);
    EXPECT_EQ(d->m_errors, "Bad ID passed to ADevPrompt::setTau(...)\nBad ID passed to ADevPrompt::setTypes(...)\n"
                           "Bad ID passed to ADevPrompt::setAFInterval(...)\n");
}

TEST(ADevPrompt, TheAllPageDrivesEveryCurvePage)
{
    auto d = dialogFor({0, 1});
    d->show();
    d->setTypes(NORMAL | MTIE, 0);
    d->setTypes(NORMAL, 1);
    d->setAFInterval(OCTAVE, 0);
    d->setAFInterval(ALL_TAU, 1);
    ADevPromptPage* all = d->page(-1);

    // Hadamard clicked on "All" goes on everywhere; the mixed MTIE box is
    // copied mixed and counts as chosen.
    click(all->m_typeBoxes[HADAMARD]);
    click(all->m_intervalButtons[DECADE]);
    const auto r = d->requests();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].types, NORMAL | HADAMARD | MTIE);
    EXPECT_EQ(r[1].types, NORMAL | HADAMARD | MTIE);
    EXPECT_EQ(d->page(1)->m_typeBoxes[MTIE]->state(), 1);
    EXPECT_EQ(r[0].interval, DECADE);
    EXPECT_EQ(r[1].interval, DECADE);
    EXPECT_EQ(all->m_intervalButtons[DECADE]->state(), 2);

    // Tau typed on "All" goes to both; a curve page that differs empties it.
    all->m_tauEdit->setText("2.5");
    EXPECT_EQ(d->page(0)->m_tauEdit->text(), "2.5");
    EXPECT_EQ(d->page(1)->m_tauEdit->text(), "2.5");
    d->page(1)->m_tauEdit->setText("3");
    EXPECT_EQ(all->m_tauEdit->text(), "");
    EXPECT_EQ(d->requests()[0].tau, 2.5);
    EXPECT_EQ(d->requests()[1].tau, 3.0);
    d->page(1)->m_tauEdit->setText("");
    EXPECT_EQ(d->requests()[1].tau, 0.0);

    // A curve page's own click updates the "All" display.
    click(d->page(0)->m_typeBoxes[OVERLAPPING]);
    EXPECT_EQ(all->m_typeBoxes[OVERLAPPING]->state(), 1);
}

TEST(ADevPrompt, OkRefusesRunsWithoutIntervalOrWithTauOutOfRange)
{
    struct Case {
        const char* tau;
        int interval;         // 0: none chosen
        int types;
        const char* problem;  // nullptr: accepted
    };
    const char* noTau = "C1: Tau must be a number from 1e-05 to 2147483647.";
    const Case cases[] = {
        {"1", OCTAVE, NORMAL, nullptr},
        // The ends of the field's own range, and just beyond them.
        {"1e-5", OCTAVE, NORMAL, nullptr},
        {"2147483647", OCTAVE, NORMAL, nullptr},
        {"9e-6", OCTAVE, NORMAL, noTau},
        {"2147483648", OCTAVE, NORMAL, noTau},
        {"1e300", OCTAVE, NORMAL, noTau},
        {"", OCTAVE, NORMAL, noTau},
        {"0", OCTAVE, NORMAL, noTau},
        {"-1", DECADE, MTIE, noTau},
        {"nan", OCTAVE, NORMAL, noTau},
        {"1", 0, NORMAL, "C1: choose an AF interval."},
        {"1", 0, 0, nullptr},  // nothing to compute: nothing to refuse
    };
    for (const Case& c : cases) {
        auto d = dialogFor({0});
        d->setTypes(c.types, 0);
        if (c.interval)
            d->setAFInterval(c.interval, 0);
        d->page(0)->m_tauEdit->setText(c.tau);
        kro::test::ScriptedPrompts prompts;
        if (c.problem)
            prompts->answerMessage(QMessageBox::Ok);
        d->accept();
        EXPECT_EQ(d->result() == QDialog::Accepted, c.problem == nullptr) << c.tau << " " << c.interval;
        if (c.problem) {
            ASSERT_EQ(prompts->asked().size(), 1u);
            EXPECT_EQ(prompts->asked()[0].title, "Allan Deviations");
            EXPECT_EQ(prompts->asked()[0].text, c.problem);
        }
    }
}
