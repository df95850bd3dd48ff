#pragma once

#include "platform/prompts.h"

namespace ordalis {

// The real prompts: QMessageBox with the icon and buttons asked for, QFileDialog for
// the file choosers. Each is modal over the window the operator is working in.
class MessageBoxPrompts final : public Prompts
{
public:
    PromptAnswer showMessage(const MessagePrompt& prompt) override;
    std::optional<QString> chooseFile(const FilePrompt& prompt) override;
};

} // namespace ordalis
