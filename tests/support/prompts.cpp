#include "support/prompts.h"

#include <gtest/gtest.h>

namespace kro::test {

namespace {
std::unique_ptr<ScriptedPrompter> makeFailing()
{
    auto p = std::make_unique<ScriptedPrompter>();
    p->setFailureHandler([](const QString& problem) { ADD_FAILURE() << problem.toStdString(); });
    return p;
}
} // namespace

void installFailingPrompter() { installPrompter(makeFailing()); }

ScriptedPrompts::ScriptedPrompts()
{
    auto p = makeFailing();
    m_prompter = p.get();
    m_previous = installPrompter(std::move(p));
}

ScriptedPrompts::~ScriptedPrompts()
{
    EXPECT_EQ(m_prompter->pending(), 0) << "scripted answers left unused";
    installPrompter(std::move(m_previous));
}

} // namespace kro::test
