#pragma once

#include <QColor>
#include <QFrame>
#include <QString>
#include <array>

#include "scan/scan_table.h"

class QLabel;
class QLineEdit;
class QScrollBar;
class QToolButton;

namespace sondrel {

// The scan page `Picture3`: the status box `Text2`, the totals, 21 display rows of six labels
// (`ssTYPE`, `ssIP`, `sMS`, `sHOST`, `sMAC`, `sTTL`, items 0 to 20), the scroll bar `VScroll2`,
// the view buttons `CmdShowScan` 0 to 3 and the image `Image1` that goes back to the results.
class ScanPane : public QFrame {
    Q_OBJECT
  public:
    explicit ScanPane(QWidget* parent = nullptr);

    void showRows(const ScanRowViews& rows);
    void showTexts(const QString& text2, const QString& total, const QString& active,
                   const QString& inactive, const QString& separator);
    // Sets the scroll bar without reporting it as the operator's move.
    void setScroll(int minimum, int maximum, int value);
    void setViewButtonsShown(bool shown);

    QLabel* cell(const QString& column, int row) const;
    QScrollBar* scrollBar() const { return vScroll2_; }

  Q_SIGNALS:
    // The operator moved VScroll2.
    void scrolled(int value);
    // CmdShowScan item 0, 1 or 2.
    void viewRequested(const QString& filter);
    // CmdShowScan item 3.
    void addGroupRequested();
    // Image1.
    void minimiseClicked();

  private:
    void addHeader();
    void addRows();
    void addButtons();

    QLineEdit* text2_ = nullptr;
    QLabel* total_ = nullptr;
    QLabel* active_ = nullptr;
    QLabel* inactive_ = nullptr;
    QLabel* separator_ = nullptr;
    QScrollBar* vScroll2_ = nullptr;
    std::array<QToolButton*, 4> cmdShowScan_{};
    std::array<std::array<QLabel*, 6>, ScanRowCount> cells_{};
};

// A colour value 0x00BBGGRR as the widgets take it.
QColor ColourOfValue(unsigned value);

}  // namespace sondrel
