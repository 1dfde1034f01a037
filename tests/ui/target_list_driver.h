#pragma once

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <deque>
#include <functional>
#include <memory>

#include "common/run_state.h"
#include "engine/ping_test.h"
#include "targets/target_list.h"
#include "targets/ui/target_list_controller.h"
#include "window_driver.h"

namespace sondrel::testing {

using DialogStep = std::function<void(QDialog*)>;

namespace detail {

inline void NextStep(std::deque<DialogStep> steps, std::shared_ptr<bool> finished,
                     int attempts = 50) {
    QTimer::singleShot(0, [steps = std::move(steps), finished, attempts]() mutable {
        if (*finished) {
            if (!steps.empty())
                ADD_FAILURE() << steps.size() << " dialog steps left when the dialogs ended";
            return;
        }
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            if (attempts > 0)
                NextStep(std::move(steps), finished, attempts - 1);
            else if (!steps.empty())
                ADD_FAILURE() << "no modal dialog opened";
            return;
        }
        if (steps.empty()) {
            ADD_FAILURE() << "dialog left open: " << dialog->objectName().toStdString();
            dialog->reject();
            return;
        }
        DialogStep step = std::move(steps.front());
        steps.pop_front();
        // As the desktop does with a dialog that opens: focus events reach its boxes.
        QApplication::setActiveWindow(dialog);
        step(dialog);
        NextStep(std::move(steps), finished, steps.empty() ? 10 : 50);
    });
}

}  // namespace detail

// Plays the operator in modal dialogs: run(act) does `act`, and each step runs on the modal
// dialog showing at that moment, the next one after it. A dialog still open after the last step
// is a failure and is closed, so that a test never hangs.
class DialogScript {
  public:
    DialogScript(std::initializer_list<DialogStep> steps) : steps_(steps) {}
    void run(const std::function<void()>& act) {
        auto finished = std::make_shared<bool>(false);
        detail::NextStep(steps_, finished);
        act();
        *finished = true;
    }

  private:
    std::deque<DialogStep> steps_;
};

template <typename T = QWidget>
T* Child(QDialog* dialog, const QString& name) {
    T* widget = dialog->findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name.toStdString();
    return widget;
}

inline void Click(QDialog* dialog, const QString& button) {
    ClickOn(Child<QAbstractButton>(dialog, button));
}

// Types each key where the dialog's focus is at that moment, as a keyboard does.
inline void TypeAtFocus(QDialog* dialog, const QString& text) {
    for (const QChar c : text) {
        QWidget* target = dialog->focusWidget();
        ASSERT_NE(target, nullptr);
        SendKey(target, c.toUpper().unicode(), QString(c));
    }
}

// Puts the focus in the named box of the dialog and types there.
inline void TypeInto(QDialog* dialog, const QString& name, const QString& text) {
    QWidget* box = Child(dialog, name);
    box->setFocus(Qt::TabFocusReason);
    TypeAtFocus(dialog, text);
}

inline QString StatusOf(QDialog* dialog) {
    return Child<QLabel>(dialog, "LabelStatus")->text();
}

inline QColor StatusColourOf(QDialog* dialog) {
    return Child<QLabel>(dialog, "LabelStatus")->palette().color(QPalette::WindowText);
}

// The window over a list file of loopback entries.
class TargetListWindow : public WindowTest {
  protected:
    QListWidget* listIP() const { return find<QListWidget>("ListIP"); }
    QLineEdit* textPing() const { return find<QLineEdit>("TextPing"); }
    QCheckBox* checkReset() const { return find<QCheckBox>("CheckReset"); }
    QStringList titles() const {
        QStringList out;
        for (int i = 0; i < listIP()->count(); ++i)
            out << listIP()->item(i)->text();
        return out;
    }
    QList<int> selectedRows() const {
        QList<int> rows;
        for (int i = 0; i < listIP()->count(); ++i) {
            if (listIP()->item(i)->isSelected())
                rows << i;
        }
        return rows;
    }
    QStringList entries() { return window->targetList().list().IPEntries(); }
    QStringList fileLines() const { return ReadTextLines(listPath()); }

    // A left click on an item of the list, as the mouse gives it.
    void clickItem(int row) { clickRow(listIP(), row); }
    static void clickRow(QListWidget* list, int row) {
        QListWidgetItem* item = list->item(row);
        ASSERT_NE(item, nullptr) << row;
        list->scrollToItem(item);
        const QPointF at = QRectF(list->visualItemRect(item)).center();
        const QPointF global = list->viewport()->mapToGlobal(at);
        QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &press);
        QApplication::sendEvent(list->viewport(), &release);
    }
    // One round per start, so that a run ends by itself.
    void oneRound() { window->parameters().setText(ParameterBox::Times, "1"); }
    void runToTheEnd() {
        clock.runUntilIdle();
        ASSERT_FALSE(window->runState().activityBusy());
    }
    void trigger(const char* action) { find<QAction>(action)->trigger(); }
    // The main window active again, as the desktop makes it when a dialog has gone.
    void activateMain() { QApplication::setActiveWindow(window.get()); }
};

// A list of loopback entries of every kind; shown as local, loop2, grp, rng.
inline const QStringList LoopbackList{
    "Crng,127.0.0.7,127.0.0.5",
    "Bgrp,127.0.0.3,127.0.0.4 (four)",
    "Aloop2,127.0.0.2",
    "Alocal,127.0.0.1",
};

}  // namespace sondrel::testing
