#pragma once

#include <QString>
#include <QStringList>

namespace sondrel {

// Item texts that the parameter rules recognise.
inline const QString kAdvancedItem = QStringLiteral("高级");
inline const QString kFixedSizeListItem = QStringLiteral("16,32,64,1024 字节");
inline const QString kSizeRampItem = QStringLiteral("加强 32 个字节");
inline const QString kContinuallyItem = QStringLiteral("Continually");

// The item lists of the five parameter boxes, in list order.
QStringList IntervalItems();     // 10 ms ... 60000 ms, then "高级": 79 items
QStringList TimeOutItems();      // 10 ms ... 9000 ms: 27 items
QStringList SizeItems();         // 16 items, unit words with their uneven spacing
QStringList TimesItems();        // "Continually", then 1 ... 100000: 19 items
QStringList RepeatPerIPItems();  // "1" ... "100"

// The item each box selects when the lists are filled.
inline constexpr int kInitialIntervalIndex = 14;  // "600 毫秒"
inline constexpr int kInitialTimeOutIndex = 14;   // "600 毫秒"
inline constexpr int kInitialSizeIndex = 2;       // "32  字节"
inline constexpr int kInitialTimesIndex = 0;      // "Continually"
inline constexpr int kInitialRepeatIndex = 0;     // "1"

}  // namespace sondrel
