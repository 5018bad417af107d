#pragma once
// The plot tabs under test: one PlotterCtrl with the progress bar and undo
// button it is given, modal prompts answered by a ScriptedPrompter, and its
// transcript, verbose and debug lines collected.
#include "platform/scriptedprompter.h"
#include "tabs/plotterctrl.h"
#include "tabs/progressbar.h"

#include <QStringList>
#include <QToolButton>
#include <gtest/gtest.h>

#include <memory>

#include "support/test_env.h"

class PlotTabsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        kro::test::clearSettingsStore();
        prompter = new kro::ScriptedPrompter;
        previous = kro::installPrompter(std::unique_ptr<kro::Prompter>(prompter));
        ctrl = std::make_unique<PlotterCtrl>(nullptr, &bar, &undo);
        ctrl->resize(800, 600);
        QObject::connect(ctrl.get(), &PlotterCtrl::transcript, [this](const QString& t) { transcripts << t; });
        QObject::connect(ctrl.get(), &PlotterCtrl::verbose,
                         [this](ZEVOVE::TYPE, const QString& t) { verboses << t; });
        QObject::connect(ctrl.get(), &PlotterCtrl::debugmsg, [this](const QString& t) { debugs << t; });
    }
    void TearDown() override
    {
        ctrl.reset();
        kro::installPrompter(std::move(previous));
    }

    ProgressBar bar;
    QToolButton undo;
    std::unique_ptr<PlotterCtrl> ctrl;
    kro::ScriptedPrompter* prompter = nullptr;
    std::unique_ptr<kro::Prompter> previous;
    QStringList transcripts;
    QStringList verboses;
    QStringList debugs;
};
