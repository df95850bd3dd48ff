#include "platform/message_box_prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QWidget>

namespace ordalis {

namespace {

QWidget* promptParent()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

QMessageBox::Icon boxIcon(PromptIcon icon)
{
    switch (icon) {
    case PromptIcon::Stop:
        return QMessageBox::Critical;
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Warning:
        return QMessageBox::Warning;
    case PromptIcon::Question:
        return QMessageBox::Question;
    case PromptIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons boxButtons(PromptButtons buttons)
{
    switch (buttons) {
    case PromptButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case PromptButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

// Closing the box by its title bar or Escape counts as the button the platform maps
// to cancel: Cancel where there is one, otherwise No or OK.
PromptAnswer answerOf(int button, PromptButtons buttons)
{
    switch (button) {
    case QMessageBox::Yes:
        return PromptAnswer::Yes;
    case QMessageBox::No:
        return PromptAnswer::No;
    case QMessageBox::Cancel:
        return PromptAnswer::Cancel;
    case QMessageBox::Ok:
        return PromptAnswer::Ok;
    default:
        break;
    }
    switch (buttons) {
    case PromptButtons::OkCancel:
    case PromptButtons::YesNoCancel:
        return PromptAnswer::Cancel;
    case PromptButtons::YesNo:
        return PromptAnswer::No;
    case PromptButtons::Ok:
        break;
    }
    return PromptAnswer::Ok;
}

} // namespace

PromptAnswer MessageBoxPrompts::showMessage(const MessagePrompt& prompt)
{
    const QString caption
        = prompt.caption.isEmpty() ? QApplication::applicationDisplayName() : prompt.caption;
    QMessageBox box(boxIcon(prompt.icon), caption, prompt.text, boxButtons(prompt.buttons), promptParent());
    box.setTextFormat(Qt::PlainText);
    return answerOf(box.exec(), prompt.buttons);
}

std::optional<QString> MessageBoxPrompts::chooseFile(const FilePrompt& prompt)
{
    QFileDialog dialog(promptParent(), prompt.title);
    // Both kinds are open-style choosers; one whose file need not exist never asks
    // about overwriting, the caller decides what to do with an existing file.
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(prompt.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!prompt.defaultExtension.isEmpty())
        dialog.setDefaultSuffix(prompt.defaultExtension);
    if (!prompt.filter.isEmpty())
        dialog.setNameFilters(prompt.filter.split(QStringLiteral(";;")));
    if (!prompt.startPath.isEmpty()) {
        const QFileInfo start(prompt.startPath);
        if (start.isDir()) {
            dialog.setDirectory(start.absoluteFilePath());
        } else {
            dialog.setDirectory(start.absolutePath());
            dialog.selectFile(start.fileName());
        }
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace ordalis
