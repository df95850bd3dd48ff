#include "platform/message_box_prompts.h"
#include "tests/support/case_name.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace ordalis {
namespace {

struct BoxCase
{
    const char* what;
    PromptIcon icon;
    PromptButtons buttons;
    QMessageBox::Icon expectedIcon;
    QMessageBox::StandardButtons expectedButtons;
    std::function<void(QMessageBox&)> operatorDoes;
    PromptAnswer expectedAnswer;
};

void click(QMessageBox& box, QMessageBox::StandardButton which)
{
    QTest::mouseClick(box.button(which), Qt::LeftButton);
}

const BoxCase kCases[] = {
    {"stop, OK", PromptIcon::Stop, PromptButtons::Ok, QMessageBox::Critical, QMessageBox::Ok,
        [](QMessageBox& box) { click(box, QMessageBox::Ok); }, PromptAnswer::Ok},
    {"information, OK by Enter", PromptIcon::Information, PromptButtons::Ok, QMessageBox::Information,
        QMessageBox::Ok, [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); }, PromptAnswer::Ok},
    {"warning, Cancel", PromptIcon::Warning, PromptButtons::OkCancel, QMessageBox::Warning,
        QMessageBox::Ok | QMessageBox::Cancel, [](QMessageBox& box) { click(box, QMessageBox::Cancel); },
        PromptAnswer::Cancel},
    {"no icon, Escape cancels", PromptIcon::None, PromptButtons::OkCancel, QMessageBox::NoIcon,
        QMessageBox::Ok | QMessageBox::Cancel,
        [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }, PromptAnswer::Cancel},
    {"question, No", PromptIcon::Question, PromptButtons::YesNo, QMessageBox::Question,
        QMessageBox::Yes | QMessageBox::No, [](QMessageBox& box) { click(box, QMessageBox::No); },
        PromptAnswer::No},
    {"stop, Yes of three", PromptIcon::Stop, PromptButtons::YesNoCancel, QMessageBox::Critical,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
        [](QMessageBox& box) { click(box, QMessageBox::Yes); }, PromptAnswer::Yes},
};

class MessageBoxPromptsTest : public testing::TestWithParam<BoxCase>
{
};

TEST_P(MessageBoxPromptsTest, ShowsTheIconAndButtonsAskedForAndReportsTheAnswer)
{
    const BoxCase& c = GetParam();
    QApplication::setApplicationDisplayName(QStringLiteral("Ordalis"));
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = true;
        EXPECT_EQ(box->text(), QStringLiteral("RS232 Not Ack !!"));
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Ordalis"));
        EXPECT_EQ(box->icon(), c.expectedIcon) << c.what;
        EXPECT_EQ(box->standardButtons(), c.expectedButtons) << c.what;
        c.operatorDoes(*box);
    });
    MessageBoxPrompts prompts;
    const PromptAnswer answer
        = prompts.showMessage({QStringLiteral("RS232 Not Ack !!"), QString(), c.icon, c.buttons});
    EXPECT_TRUE(seen);
    EXPECT_EQ(answer, c.expectedAnswer) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Boxes, MessageBoxPromptsTest, testing::ValuesIn(kCases), test::caseName<BoxCase>);

} // namespace
} // namespace ordalis
