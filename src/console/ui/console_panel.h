#pragma once

#include <QFrame>
#include <array>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QToolButton;

namespace sondrel {

class CommandHistory;
class UserPrompts;

// The console pane `PictureDOS`: the command box `TextCmd`, the preset list `ListCmd` and the
// address pick list `ListIP2` that drop down under it, the history `ListDOSHis`, the box
// `CheckAutoAdd` and the buttons `CommandDOS_0` to `CommandDOS_6`. Commands run in console
// windows of their own; the pane keeps nothing of their output.
class ConsolePanel : public QFrame {
    Q_OBJECT
  public:
    ConsolePanel(CommandHistory& history, UserPrompts& prompts, QString programFolder,
                 QWidget* parent = nullptr);

    // The history list again from the history, in its shown order.
    void showHistory();
    // The pick list: the single entries' addresses, the separator and the add item.
    void setPickItems(const QStringList& items);
    // The texts of the selected history entries.
    QStringList selectedHistory() const;
    // Dos_Run: the command in a console window of its own.
    void Dos_Run();
    // Both drop-down lists closed.
    void hideLists();
    // The text in the command box with the caret at its end (at most position 99), and the
    // focus there.
    void takeCommand(const QString& text);

    QLineEdit* commandBox() const { return textCmd_; }
    QListWidget* presets() const { return listCmd_; }
    QListWidget* pickList() const { return listIP2_; }
    QListWidget* historyList() const { return listDOSHis_; }
    QToolButton* button(int item) const { return buttons_.at(size_t(item)); }

  Q_SIGNALS:
    // An item of the pick list clicked (the list has closed).
    void addressPicked(const QString& item);
    // `CommandDOS_5`: the history menu, at this point of the pane's parent.
    void historyMenuRequested();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls();
    void buildButtons();
    void connectLists();
    void addCurrentCommand();
    void toggleOrder();

    CommandHistory& history_;
    UserPrompts& prompts_;
    QString programFolder_;
    QLineEdit* textCmd_ = nullptr;
    QCheckBox* checkAutoAdd_ = nullptr;
    QListWidget* listCmd_ = nullptr;
    QListWidget* listIP2_ = nullptr;
    QListWidget* listDOSHis_ = nullptr;
    std::array<QToolButton*, 7> buttons_{};
};

}  // namespace sondrel
