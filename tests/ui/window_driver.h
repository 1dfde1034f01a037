#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <memory>

#include "app/ui/form_tester.h"
#include "common/text_file.h"
#include "engine/test_parameters.h"
#include "support/fake_clock.h"
#include "support/fake_echo.h"
#include "support/fake_local_network.h"
#include "support/fake_process_runner.h"
#include "support/recording_prompts.h"
#include "targets/target_list.h"
#include "ui_test_helpers.h"

// QtGui's hook that gives a key press to the shortcut map first, as a real key press does.
bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
                                  const QString& text, bool autorep, ushort count);

namespace sondrel::testing {

// A key pressed and released where the focus is: shortcut keys reach the menu items.
inline void PressKey(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr) << "no widget has the focus";
    if (qt_sendShortcutOverrideEvent(target, 0, key, mods, QString(), false, 1))
        return;
    QKeyEvent press(QEvent::KeyPress, key, mods);
    QKeyEvent release(QEvent::KeyRelease, key, mods);
    QCoreApplication::sendEvent(target, &press);
    QCoreApplication::sendEvent(target, &release);
}

// A left click in the middle of the widget; a disabled widget ignores it.
inline void ClickOn(QWidget* widget) {
    const QPointF at = QRectF(widget->rect()).center();
    const QPointF global = widget->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

// The main window over fakes: virtual time, scripted echo, recorded message boxes, a local
// network of loopback facts, scripted child programs, a data folder of its own. The target
// list of that folder is empty unless the test writes one (loopback entries only). Tests drive
// the window by control name.
class WindowTest : public ::testing::Test {
  protected:
    static inline const QString TracertProgram = QStringLiteral("/opt/sondrel/tracert");

    QString listPath() const { return folder.path() + "/" + TargetListFileName; }
    // The target list file: the entry lines and the terminator.
    void writeList(const QStringList& lines) {
        ASSERT_TRUE(WriteTextFileAtomically(listPath(), lines + QStringList{" "}, nullptr));
    }
    void open(const QString& commandLine = {}) {
        if (!QFile::exists(listPath()))
            writeList({});
        window = std::make_unique<FormTester>(
            FormTester::Services{echo, resolver, clock, prompts, folder.path() + "/", &dialogs,
                                 &network, settingsPath, &processes, TracertProgram},
            commandLine);
        window->show();
        window->activateWindow();
        QApplication::setActiveWindow(window.get());
        QApplication::processEvents();
    }
    template <typename T = QWidget>
    T* find(const QString& name) const {
        T* widget = window->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    QAbstractButton* button(const QString& name) const { return find<QAbstractButton>(name); }
    bool enabled(const QString& name) const { return find(name)->isEnabled(); }
    // Puts the focus in the manual box and types the target.
    void typeTarget(const QString& text) {
        QWidget* box = find(QStringLiteral("TextPing"));
        box->setFocus(Qt::TabFocusReason);
        TypeKeys(box, text);
    }

    QTemporaryDir folder;
    QString settingsPath;  // empty: the window keeps its settings in memory
    FakeClock clock;
    FakeEcho echo{clock};
    FakeResolver resolver;
    RecordingPrompts prompts;
    CancellingDialogs dialogs;
    FakeLocalNetwork network;
    FakeProcessRunner processes{clock};
    std::unique_ptr<FormTester> window;
};

}  // namespace sondrel::testing
