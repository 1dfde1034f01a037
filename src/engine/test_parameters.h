#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <array>

#include "common/user_prompts.h"
#include "engine/run_parameters.h"

namespace sondrel {

// The five parameter boxes of the ping page: ComboInv, ComboSize, ComboTimeOut, ComboTimes,
// ComboRepIP.
enum class ParameterBox { Interval, Size, TimeOut, Times, RepIP };

// Texts of DialogAdvanceInterval: TextIFrom, TextITo, TextIIncre (the step), TextIRe (rounds
// per value). The model keeps them between openings, as the hidden dialog keeps its texts.
struct IntervalDialogValues {
    QString from{"1000"};
    QString to{"0"};
    QString step{"10"};
    QString repeat{"1"};
};

// The label beside the interval dialog's step: "降低" while the end value is below the first
// value, "加强" otherwise.
QString IntervalDirectionLabel(const QString& from, const QString& to);

// DialogAdvanceSize: its texts, the chosen option and the checks of its OK button. A
// successful OK fills the size fields of the run parameters; a failed one shows its message
// and leaves them alone, so the dialog stays open.
class SizeDialogModel {
  public:
    enum class Option { Incremental, Multiple };  // Option1 "增量大小", Option2 "多个尺寸"

    SizeDialogModel(UserPrompts& prompts, RunParameters& run) : prompts_(prompts), run_(run) {}

    // The dialog's OK. True when the values were accepted and the dialog may close.
    bool accept();

    // Key filter of the dialog's text boxes: digits and backspace; TextMV also the comma.
    static bool acceptsKey(QChar key, bool commaAllowed);

    Option option = Option::Incremental;
    QString textIFrom{"32"};
    QString textITo{"32000"};
    QString textIIncre{"32"};
    QString textIRe{"1"};
    QString textMV{"16,32,64,128,1024"};
    QString textMRe{"4"};

  private:
    bool acceptIncremental();
    bool acceptList();
    bool refuse(const QString& message);
    bool fail(const QString& errorDescription);

    UserPrompts& prompts_;
    RunParameters& run_;
};

// Shows the two advanced dialogs. The window implements it; console mode cancels both.
class ParameterDialogs {
  public:
    virtual ~ParameterDialogs() = default;
    // Shows DialogAdvanceInterval over `values`, which keep what the operator typed (also
    // after 取消). True when closed with OK.
    virtual bool runIntervalDialog(IntervalDialogValues& values) = 0;
    // Shows DialogAdvanceSize; its OK button calls model.accept() and closes on true.
    // True when closed after an accepted OK.
    virtual bool runSizeDialog(SizeDialogModel& model) = 0;
};

class CancellingDialogs final : public ParameterDialogs {
  public:
    bool runIntervalDialog(IntervalDialogValues&) override { return false; }
    bool runSizeDialog(SizeDialogModel&) override { return false; }
};

// The parameter boxes of the ping page: their lists and texts, the change handling of each
// box, the five start checks, and the run parameters they produce.
//
// Every change of a box text, whoever makes it, goes through setText() or selectIndex() and
// runs that box's change handling. textChanged is emitted whenever a stored text changes, also
// for the text a widget has just passed in; a widget mirroring the model ignores a text equal
// to the one it shows.
class TestParameters : public QObject {
    Q_OBJECT
  public:
    TestParameters(UserPrompts& prompts, ParameterDialogs& dialogs, QObject* parent = nullptr);

    // Fills the five lists and sets the initial state: 600 ms shown and set, size 32, time-out
    // 500 ms (while the box shows 600 ms), tests "Continually", one probe per target.
    void FillParameterLists();

    QStringList items(ParameterBox box) const;
    QString text(ParameterBox box) const;
    // A text typed, restored from the settings or given on the command line.
    void setText(ParameterBox box, const QString& text);
    // An item picked from the list; an index outside the list is ignored.
    void selectIndex(ParameterBox box, int index);
    // The "A" buttons: item 0 opens the interval dialog, item 1 the size dialog.
    void CommandA_Click(int item);

    // The start checks; each applies its box to the run parameters.
    bool ValidateInterval();
    bool ValidateSize();
    bool ValidateTimeOut();
    bool ValidateTimes();
    bool ValidateRepeatPerIP();
    // The five checks in start order, stopping at the first that fails.
    bool RunStartChecks();

    // "总数：" and the number of probes per target of the whole test, or "" when below 1.
    QString totalLabelText() const { return totalLabel_; }

    RunParameters& run() { return run_; }
    const RunParameters& run() const { return run_; }
    IntervalDialogValues& intervalDialog() { return intervalDialog_; }
    SizeDialogModel& sizeDialog() { return sizeDialog_; }

  signals:
    void listsFilled();
    void textChanged(sondrel::ParameterBox box, const QString& text);
    void totalLabelChanged(const QString& text);

  private:
    void runChangeHandling(ParameterBox box);
    void intervalChanged();
    void runIntervalDialog();
    void sizeChanged();
    void runSizeDialog();
    void UpdateTotalLabel();

    bool applySteppedInterval(const QString& text);
    bool applySteppedSize(const QString& text);
    void applySingleSize(const QString& text);
    bool applySizeList(const QString& text);
    void resetSize();
    bool sizeError(const QString& errorDescription);
    void showError(const QString& message);

    UserPrompts& prompts_;
    ParameterDialogs& dialogs_;
    RunParameters run_;
    IntervalDialogValues intervalDialog_;
    SizeDialogModel sizeDialog_{prompts_, run_};
    std::array<QStringList, 5> items_;
    std::array<QString, 5> texts_;
    QString totalLabel_;
    bool intervalChanging_ = false;
    bool sizeChanging_ = false;
};

}  // namespace sondrel
