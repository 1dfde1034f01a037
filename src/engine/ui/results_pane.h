#pragma once

#include <QFrame>
#include <QStringList>
#include <array>

#include "engine/result_scroll.h"

class QLabel;
class QScrollBar;

namespace sondrel {

class PingTest;
class RunState;

// The ping results pane `Picture2`: the status labels `LabelTittle` (items 0-3), twenty rows of
// `sTYPE`/`sIP`/`sIP2`, the summary `sIP3`/`sIP4`, the scroll bar `VScroll1` windowing over all
// records after a test, and the report link `PingReport`. Control-array items are named
// "<name>_<item>" (for example "sIP2_19").
class ResultsPane : public QFrame {
    Q_OBJECT
  public:
    // Floating panels of the window that a click in the pane closes (popupsDismissed).
    enum Popup { PopupFrameTime = 1, PopupTraceIP = 2, PopupShowIP = 4 };
    // The label arrays of the rows, left to right.
    enum Column { TypeColumn, AddressColumn, DetailColumn, HeadingColumn, ValueColumn };
    static constexpr int RowCount = ResultScroll::PageRows;

    ResultsPane(PingTest& test, RunState& state, QWidget* parent = nullptr);

    // Reset for a test: black backgrounds, rows emptied and shown in the ping layout.
    void ResetForTest();
    // Empties the number, prefix and detail of the twenty rows.
    void emptyRows();
    // Lines of text instead of replies (a trace): up to twenty rows in a wide `sIP` column with
    // the other columns hidden, `firstRow` of `totalRows` for the scroll bar. Until the next
    // reset for a test, moving the bar asks for other rows (textRowsScrolled).
    void showTextRows(const QStringList& rows, int firstRow, int totalRows);
    bool textRowsShown() const { return textRows_; }

    QLabel* title(int item) const { return titles_.at(size_t(item)); }
    QLabel* row(Column column, int item) const {
        return columns_.at(size_t(column)).at(size_t(item));
    }
    QScrollBar* scrollBar() const { return scrollBar_; }

  Q_SIGNALS:
    void reportRequested();               // `PingReport` clicked
    void focusRestRequested();            // the pane asks to move the focus to `Text402`
    void popupsDismissed(int panels);     // clicks that close the floating panels (Popup flags)
    void rowHovered(bool detailColumn);   // the pointer came over an `sIP` or `sIP2` row
    void pointerOverPane();               // the pointer moves over the pane itself
    void textRowsScrolled(int firstRow);  // the operator moved the bar over text rows

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

  private:
    void buildTitles();
    void buildRows();
    void buildScrollBar();
    void buildReportLink();
    QLabel* addLabel(const QString& name, const QRect& twips);
    void setBackground(const QColor& colour);
    void layOutTextRows();

    void showStatus(int item, const QString& text);
    void placeDetailColumn(bool longAddresses);
    void showReply(qint32 index, const QString& prefix, const QString& detail);
    void showSummary();
    void showSummaryLabels();
    void setupScroll(qint32 lastIndex, qint32 lastShown);
    void syncScrollBar();
    void scrollMoved(int value);
    void showRecordWindow(qint32 first);
    bool rowClicked(QObject* watched);

    PingTest& test_;
    RunState& state_;
    std::array<QLabel*, 4> titles_{};
    std::array<std::array<QLabel*, RowCount>, 5> columns_{};
    QScrollBar* scrollBar_ = nullptr;
    QLabel* report_ = nullptr;
    ResultScroll scroll_;
    bool thumbDragged_ = false;
    bool textRows_ = false;
};

}  // namespace sondrel
