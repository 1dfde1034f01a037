#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QWidget>

#include "common/run_state.h"

class QToolButton;

namespace sondrel {

// The row of command buttons under the upper band (top 2,340, height 375 twips). Buttons are
// named as the window's controls (`CommandStart`, "CommandSelectFun_0") and carry their tool
// tips. A button is enabled while its command exists and nothing blocks it: the busy state
// blocks the four start buttons, the engine blocks `CommandStop` while a stop completes.
class ButtonRow : public QWidget {
    Q_OBJECT
  public:
    // Left edge of the row in the window, twips: the row starts at `CommandStart`.
    static constexpr int LeftTwips = 3525;

    explicit ButtonRow(QWidget* parent = nullptr);

    QToolButton* button(const QString& name) const;
    // The commands that work in this version; the other buttons stay disabled.
    void setAvailable(const QString& name, bool available);
    // EnterBusyState / LeaveBusyState: CommandStart, CommandTracert, CommandSelectFun_0 and
    // Command8.
    void setBusy(bool busy);
    void setStopEnabled(bool enabled);
    // Brings the start button of the offered function to the front.
    void raiseStartButton(Activity function);

  private:
    QToolButton* addButton(const QString& name, int left, int width, const QString& toolTip);
    void setBlocked(const QString& name, bool blocked);
    void refresh(const QString& name);

    QHash<QString, QToolButton*> buttons_;
    QSet<QString> available_;
    QSet<QString> blocked_;
};

}  // namespace sondrel
