#pragma once

#include <QString>

#include <optional>

namespace ordalis {

enum class PromptIcon { None, Stop, Information, Warning, Question };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };

struct MessagePrompt
{
    QString text;
    QString caption; // empty: the application's name
    PromptIcon icon = PromptIcon::None;
    PromptButtons buttons = PromptButtons::Ok;
};

struct FilePrompt
{
    bool mustExist = true; // an open chooser; false lets the operator name a new file
    QString title; // empty: the platform's own ("Open")
    QString defaultExtension; // without the dot, e.g. "bin"
    QString filter; // Qt filter text, e.g. "Binary Files (*.bin);;All Files (*)"
    QString startPath;
};

// Message boxes and file choosers: everything that waits on a person.
class Prompts
{
public:
    virtual ~Prompts() = default;

    virtual PromptAnswer showMessage(const MessagePrompt& prompt) = 0;

    // The chosen path, or nothing when the operator cancelled.
    virtual std::optional<QString> chooseFile(const FilePrompt& prompt) = 0;

    // The common case: one text, OK only.
    PromptAnswer message(const QString& text, PromptIcon icon = PromptIcon::None)
    {
        return showMessage({text, QString(), icon, PromptButtons::Ok});
    }
};

} // namespace ordalis
