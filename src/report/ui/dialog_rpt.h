#pragma once

#include <QDialog>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

#include "engine/run_results.h"
#include "report/export_frame.h"
#include "report/summary_report.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPrinter;
class QRadioButton;
class QToolButton;
class QPushButton;

namespace sondrel {

// DialogRpt: the summary report of the current run, one block per target with a row per time
// period or buffer size, its export and its print.
class DialogRpt final : public QDialog {
    Q_OBJECT
  public:
    struct Sources {
        std::function<RunResults()> run;  // the current or reloaded run
        ExportFrame& frame;
    };
    DialogRpt(Sources sources, QWidget* parent = nullptr);
    ~DialogRpt() override;

    // The print set-up; by default the system's print dialog. False cancels the print.
    using PrinterChooser = std::function<bool(QPrinter&)>;
    void setPrinterChooser(PrinterChooser chooser) { chooser_ = std::move(chooser); }

    void BuildReport();
    void ExportReport();
    void PrintReport();
    // Prints the text report of the last build on a printer that is set up.
    void printOn(QPrinter& printer);
    const std::optional<SummaryReport>& report() const { return report_; }

  protected:
    bool event(QEvent* event) override;
    void done(int result) override;

  private:
    void buildControls();
    void addLists();
    void addButtons();
    void Form_Activate();
    void ComboGroupBy_Change(const QString& text);
    void BeginReportWork();
    void EndReportWork();
    void clearLists();
    void fillLists();
    void selectRow(int row);
    void followScroll(int top);

    Sources sources_;
    PrinterChooser chooser_;
    std::optional<SummaryReport> report_;
    std::array<QRadioButton*, 2> option1_{};
    QComboBox* comboGroupBy_ = nullptr;
    std::array<QListWidget*, 7> lists_{};
    std::array<QLineEdit*, 6> headers_{};
    QLabel* text2_ = nullptr;
    QLineEdit* text4_ = nullptr;
    QList<QWidget*> commands_;
    bool linking_ = false;
};

// The lines of a report as printed: tabs expanded to stops of 8 columns, a Chinese character
// counting two columns, so that the columns line up in a fixed-pitch face.
QStringList ExpandTabs(const QStringList& lines);

}  // namespace sondrel
