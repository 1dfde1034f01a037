#pragma once

#include <QFrame>
#include <QListWidget>
#include <array>

#include "targets/entry_editing.h"

class QAbstractButton;
class QCheckBox;
class QLabel;
class QToolButton;

namespace sondrel {

// `ListIP`: the target entries by title, several selectable. Reports every click and every key
// that moves or toggles an item as the operator's click.
class TargetListView final : public QListWidget {
    Q_OBJECT
  public:
    explicit TargetListView(QWidget* parent = nullptr);

  Q_SIGNALS:
    void operatorClicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// The target list panel `Picture1_0`: the list `ListIP`, at its right the buttons `CommandAdd_0`
// "添加S" .. `CommandAdd_4` "删除" and the size buttons `Picture1_1` (maximise) and `Picture1_2`
// (restore); above it, in the window, the select-all box `CheckReset` and the heading `Label1_1`.
// The panel is 1,695 twips high, or 7,090 when maximised so that it covers the left of the
// lower band.
class TargetListPanel final : public QFrame {
    Q_OBJECT
  public:
    static constexpr int NormalHeightTwips = 1695;
    static constexpr int NormalListTwips = 1605;
    static constexpr int MaximisedHeightTwips = 7090;
    static constexpr int MaximisedListTwips = 7000;

    // The panel goes into the window's client area `client`, with the box and the heading.
    explicit TargetListPanel(QWidget* client);

    TargetListView* list() const { return list_; }
    QCheckBox* checkReset() const { return checkReset_; }

    void setTitles(const QStringList& titles);
    ListSelection selection() const;
    QString currentText() const;
    void setCurrent(int position);  // -1: no current item; the selection stays
    void selectAll(bool selected);

    // The list counts as maximised from 2,000 twips up.
    bool maximised() const;
    void maximise();
    void restore();
    // Maximise button shown, restore button hidden, the sizes as they are.
    void resetSizeButtons();

  Q_SIGNALS:
    void commandAddClicked(int item);
    void maximiseClicked();
    void restoreClicked();

  private:
    void addButtons();
    void setHeights(int panelTwips, int listTwips);

    TargetListView* list_ = nullptr;
    QCheckBox* checkReset_ = nullptr;
    QLabel* heading_ = nullptr;
    std::array<QToolButton*, 5> commandAdd_{};
    QToolButton* maximise_ = nullptr;
    QToolButton* restore_ = nullptr;
};

}  // namespace sondrel
