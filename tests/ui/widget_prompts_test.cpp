#include <QAbstractButton>
#include <QMessageBox>

#include "app/ui/widget_prompts.h"
#include "ui_test_helpers.h"

namespace sondrel {
namespace {

struct BoxSeen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// Answers the next message box with `answer` and records what it showed.
void Answer(BoxSeen& seen, QMessageBox::StandardButton answer) {
    testing::WhenModal([&seen, answer](QDialog* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        ASSERT_NE(box, nullptr);
        seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons()};
        box->button(answer)->click();
    });
}

TEST(WidgetPrompts, MessagesCarryTheApplicationTitleUnlessGivenOne) {
    WidgetPrompts prompts;
    BoxSeen seen;
    Answer(seen, QMessageBox::Ok);
    prompts.message(QStringLiteral("命令行不正确。"), MessageIcon::Critical);
    EXPECT_EQ(seen.title, "Sondrel");
    EXPECT_EQ(seen.text, QStringLiteral("命令行不正确。"));
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);

    Answer(seen, QMessageBox::Ok);
    prompts.message("x", MessageIcon::Information, QStringLiteral("测试运行。"));
    EXPECT_EQ(seen.title, QStringLiteral("测试运行。"));
    EXPECT_EQ(seen.icon, QMessageBox::Information);

    Answer(seen, QMessageBox::Ok);
    prompts.message("x", MessageIcon::Exclamation);
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    Answer(seen, QMessageBox::Ok);
    prompts.message("x", MessageIcon::None);
    EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
}

TEST(WidgetPrompts, QuestionsAnswerYesOrNo) {
    WidgetPrompts prompts;
    BoxSeen seen;
    Answer(seen, QMessageBox::Yes);
    EXPECT_TRUE(prompts.askYesNo("q", MessageIcon::Question));
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    Answer(seen, QMessageBox::No);
    EXPECT_FALSE(prompts.askYesNo("q", MessageIcon::Exclamation));
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
}

}  // namespace
}  // namespace sondrel
