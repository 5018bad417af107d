#pragma once
// Modal prompts in tests. The test main installs a prompter that answers
// nothing: any prompt a test did not script fails that test. A test that
// expects prompts scripts them with ScriptedPrompts:
//
//     kro::test::ScriptedPrompts prompts;
//     prompts->answerInt(5);
//     widget.askForSmoothing();             // takes the 5
//     EXPECT_EQ(prompts->asked().size(), 1u);
//
// When the scope ends, every queued answer must have been used.
#include "platform/scriptedprompter.h"

namespace kro::test {

void installFailingPrompter();

class ScriptedPrompts {
public:
    ScriptedPrompts();
    ~ScriptedPrompts();
    ScriptedPrompts(const ScriptedPrompts&) = delete;
    ScriptedPrompts& operator=(const ScriptedPrompts&) = delete;

    ScriptedPrompter* operator->() { return m_prompter; }
    ScriptedPrompter& operator*() { return *m_prompter; }

private:
    ScriptedPrompter* m_prompter;  // owned by the installed slot
    std::unique_ptr<Prompter> m_previous;
};

} // namespace kro::test
