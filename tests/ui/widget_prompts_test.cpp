#include <QAbstractButton>
#include <QMessageBox>

#include "app/ui/widget_prompts.h"
#include "app/ui/window_main.h"
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

// The buttons of message boxes read in Chinese like the rest of the window.
TEST(WidgetPrompts, ButtonsCarryQtsChineseTexts) {
    ASSERT_TRUE(InstallQtChineseTexts()) << "qt6-translations-l10n is missing";
    EXPECT_TRUE(InstallQtChineseTexts());  // a second call changes nothing
    WidgetPrompts prompts;
    QStringList texts;
    testing::WhenModal([&texts](QDialog* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        ASSERT_NE(box, nullptr);
        for (QAbstractButton* button : box->buttons())
            texts << button->text();
        box->button(QMessageBox::No)->click();
    });
    EXPECT_FALSE(prompts.askYesNo("q", MessageIcon::Question));
    ASSERT_EQ(texts.size(), 2);
    for (const QString& text : std::as_const(texts)) {
        EXPECT_FALSE(text.contains("Yes") || text.contains("No")) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("是")) || text.contains(QStringLiteral("否")))
            << text.toStdString();
    }
}

}  // namespace
}  // namespace sondrel
