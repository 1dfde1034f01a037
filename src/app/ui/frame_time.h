#pragma once

#include <QFrame>

class QComboBox;
class QPushButton;

namespace sondrel {

struct ScheduleTime;

// The schedule editor `FrameTime`: year, month, day, hour and minute boxes (`ComboSYear`,
// `ComboSMonth`, `ComboSDay`, `ComboSHour`, `ComboSMinute`) with `CommandOK` and
// `CommandCancel`. Hidden unless a time box is being edited.
class FrameTime : public QFrame {
    Q_OBJECT
  public:
    explicit FrameTime(QWidget* parent = nullptr);

    // Refills the lists (this year and the two after it, months, days, hours, minutes).
    void fillLists(const QStringList& years);
    // Shows the five texts of `time` under the box at `topTwips` and gives OK the focus.
    void edit(const ScheduleTime& time, int topTwips);

    QComboBox* box(int field) const { return boxes_[field]; }  // 0 year ... 4 minute
    QString text(int field) const;

  Q_SIGNALS:
    void accepted();   // CommandOK
    void cancelled();  // CommandCancel

  private:
    QComboBox* boxes_[5] = {};
    QPushButton* ok_ = nullptr;
};

}  // namespace sondrel
