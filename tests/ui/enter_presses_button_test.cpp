#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "common/ui/enter_presses_button.h"

namespace sondrel {
namespace {

// A shown dialog with a default button and a plain one; every click is counted.
class EnterPressesButtonTest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto* row = new QHBoxLayout(&dialog);
        for (QPushButton* button : {fallback, plain}) {
            button->setAutoDefault(false);
            row->addWidget(button);
        }
        row->addWidget(box);
        fallback->setDefault(true);
        QObject::connect(fallback, &QPushButton::clicked, [this] { ++fallbackClicks; });
        QObject::connect(plain, &QPushButton::clicked, [this] { ++plainClicks; });
        dialog.show();
        QApplication::setActiveWindow(&dialog);
    }
    // A key pressed and released where the dialog's focus is; the press may repeat.
    void press(int key, Qt::KeyboardModifiers mods = Qt::NoModifier, int repeats = 0) {
        QWidget* target = dialog.focusWidget();
        ASSERT_NE(target, nullptr);
        for (int i = 0; i <= repeats; ++i) {
            QKeyEvent down(QEvent::KeyPress, key, mods, QString(), i > 0);
            QApplication::sendEvent(target, &down);
        }
        QKeyEvent up(QEvent::KeyRelease, key, mods);
        QApplication::sendEvent(target, &up);
    }

    QDialog dialog;
    QPushButton* fallback = new QPushButton(QStringLiteral("default"), &dialog);
    QPushButton* plain = new QPushButton(QStringLiteral("plain"), &dialog);
    QLineEdit* box = new QLineEdit(&dialog);
    int fallbackClicks = 0;
    int plainClicks = 0;
};

TEST_F(EnterPressesButtonTest, EnterAndKeypadEnterPressTheFocusedButtonOnlyOnce) {
    EnterPressesButton(plain);
    plain->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Return);
    EXPECT_EQ(plainClicks, 1);
    press(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(plainClicks, 2);
    // The dialog's default button never hears it.
    EXPECT_EQ(fallbackClicks, 0);
    // A held key presses once; Enter with Ctrl or Shift is not a press.
    press(Qt::Key_Return, Qt::NoModifier, 3);
    press(Qt::Key_Return, Qt::ControlModifier);
    press(Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(plainClicks, 3);
    // Enter in a box is still the dialog's: the default button.
    box->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Return);
    EXPECT_EQ(plainClicks, 3);
    EXPECT_EQ(fallbackClicks, 1);
}

TEST_F(EnterPressesButtonTest, ButtonsThatTakeEnterThemselvesDoNotFireTwice) {
    EnterPressesButton(fallback);
    fallback->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Return);
    EXPECT_EQ(fallbackClicks, 1);

    EnterPressesButton(plain);
    plain->setAutoDefault(true);
    plain->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(plainClicks, 1);
    EXPECT_EQ(fallbackClicks, 1);
}

}  // namespace
}  // namespace sondrel
