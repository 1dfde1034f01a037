#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QTimer>
#include <functional>

namespace sondrel::testing {

// Runs `act` on the modal dialog as soon as the event loop of its exec() is running.
inline void WhenModal(std::function<void(QDialog*)> act, int attempts = 50) {
    QTimer::singleShot(0, [act, attempts] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog) {
            act(dialog);
        } else if (attempts > 0) {
            WhenModal(act, attempts - 1);
        } else {
            ADD_FAILURE() << "no modal dialog opened";
        }
    });
}

inline void SendKey(QWidget* target, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &press);
    QCoreApplication::sendEvent(target, &release);
}

// Types `text` key by key, as the operator would.
inline void TypeKeys(QWidget* target, const QString& text) {
    for (const QChar c : text)
        SendKey(target, c.toUpper().unicode(), QString(c));
}

inline void Backspace(QWidget* target, int times = 1) {
    for (int i = 0; i < times; ++i)
        SendKey(target, Qt::Key_Backspace, QStringLiteral("\b"));
}

inline void PressReturn(QWidget* target) {
    SendKey(target, Qt::Key_Return, QStringLiteral("\r"));
}

// Picks the item with `text` from the list, as a click in the drop-down does.
inline void Pick(QComboBox* combo, const QString& text) {
    const int index = combo->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    combo->setCurrentIndex(index);
    Q_EMIT combo->activated(index);
}

}  // namespace sondrel::testing
