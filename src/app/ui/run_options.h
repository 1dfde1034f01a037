#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;

namespace sondrel {

// The run options at the right of the upper band: "运行项：" with the start-now and schedule
// options `OptionSch_0`/`OptionSch_1`, the schedule boxes `ComboFrom`/`ComboTo` with their
// labels, and the database logging box `CheckDB` with its label `Label1_29`. Start now is
// chosen at first.
class RunOptions : public QWidget {
    Q_OBJECT
  public:
    // Left edge of the run options in the window, twips.
    static constexpr int LeftTwips = 8700;

    explicit RunOptions(QWidget* parent = nullptr);

    // Selects `OptionSch` item 0, "立即".
    void selectStartNow();
    // mnuSelectPing: the scheduled end is available for a ping test.
    void offerPingSchedule();
    // mnuSelectTracert: a trace has a scheduled start only.
    void offerTraceSchedule();
    // `CheckDB`: log the ping results to the database.
    QCheckBox* checkDB() const { return checkDB_; }
    QRadioButton* optionNow() const { return optionNow_; }
    QRadioButton* optionSchedule() const { return optionSchedule_; }
    QComboBox* comboFrom() const { return comboFrom_; }
    QComboBox* comboTo() const { return comboTo_; }
    // The time boxes and their labels: enabled and light green while a schedule is armed (the
    // end box only for a ping test), else disabled in the button face colour.
    void setScheduleBoxes(bool armed, bool withEnd);

  private:
    QLabel* addLabel(const QString& name, const QString& text, int left, int top, int width);

    QRadioButton* optionNow_;
    QRadioButton* optionSchedule_;
    QComboBox* comboFrom_;
    QComboBox* comboTo_;
    QCheckBox* checkDB_;
};

}  // namespace sondrel
