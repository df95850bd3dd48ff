#pragma once

#include "platform/prompts.h"

#include <deque>
#include <vector>

namespace ordalis {

// Records every prompt and answers from a script; an unscripted message box answers
// its first button (Ok or Yes) and an unscripted file chooser is cancelled.
class FakePrompts final : public Prompts
{
public:
    PromptAnswer showMessage(const MessagePrompt& prompt) override
    {
        m_messages.push_back(prompt);
        if (!m_answers.empty()) {
            const PromptAnswer answer = m_answers.front();
            m_answers.pop_front();
            return answer;
        }
        return prompt.buttons == PromptButtons::YesNo || prompt.buttons == PromptButtons::YesNoCancel
            ? PromptAnswer::Yes
            : PromptAnswer::Ok;
    }

    std::optional<QString> chooseFile(const FilePrompt& prompt) override
    {
        m_files.push_back(prompt);
        if (m_paths.empty())
            return std::nullopt;
        const QString path = m_paths.front();
        m_paths.pop_front();
        if (path.isNull())
            return std::nullopt;
        return path;
    }

    void queueAnswer(PromptAnswer answer) { m_answers.push_back(answer); }
    // A null path (or nullopt) scripts a cancelled chooser.
    void queuePath(std::optional<QString> path) { m_paths.push_back(path.value_or(QString())); }

    const std::vector<MessagePrompt>& messages() const { return m_messages; }
    const std::vector<FilePrompt>& fileChoosers() const { return m_files; }
    void clear()
    {
        m_messages.clear();
        m_files.clear();
    }

private:
    std::vector<MessagePrompt> m_messages;
    std::vector<FilePrompt> m_files;
    std::deque<PromptAnswer> m_answers;
    std::deque<QString> m_paths;
};

} // namespace ordalis
