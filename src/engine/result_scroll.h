#pragma once

#include <QtGlobal>
#include <optional>

namespace sondrel {

// The scroll bar of the results rows: a window of twenty rows over all records. Up to 200
// positions the bar moves record by record; above that it is scaled to 200 positions and a
// dragged thumb moves proportionally, while arrows and page clicks still move 1 and 20 records.
class ResultScroll {
  public:
    static constexpr int PageRows = 20;
    static constexpr int ScaledMaximum = 200;

    // SetupResultScroll: `lastIndex` is the index of the last record, `lastShown` the index of
    // the last record to show. Sets the bar's maximum and value without handling the change.
    void setup(qint32 lastIndex, qint32 lastShown);
    // The operator moved the bar to `value` (`dragged` when by the thumb). Returns the index of
    // the first record to show; the bar's own value may change with it.
    qint32 moved(int value, bool dragged);

    int maximum() const { return maximum_; }
    int value() const { return value_; }
    qint32 firstShownIndex() const { return firstShown_; }
    qint32 maxFirstIndex() const { return maxFirst_; }

  private:
    int maximum_ = 0;
    int value_ = 0;
    int lastValue_ = 0;
    qint32 firstShown_ = 0;
    qint32 maxFirst_ = 0;
};

}  // namespace sondrel
