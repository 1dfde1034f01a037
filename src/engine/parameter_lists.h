#pragma once

#include <QString>
#include <QStringList>

namespace sondrel {

// Item texts that the parameter rules recognise.
inline const QString AdvancedItem = QStringLiteral("高级");
inline const QString FixedSizeListItem = QStringLiteral("16,32,64,1024 字节");
inline const QString SizeRampItem = QStringLiteral("加强 32 个字节");
inline const QString ContinuallyItem = QStringLiteral("Continually");

// The item lists of the five parameter boxes, in list order.
QStringList IntervalItems();     // 10 ms ... 60000 ms, then "高级": 79 items
QStringList TimeOutItems();      // 10 ms ... 9000 ms: 27 items
QStringList SizeItems();         // 16 items, unit words with their uneven spacing
QStringList TimesItems();        // "Continually", then 1 ... 100000: 19 items
QStringList RepeatPerIPItems();  // "1" ... "100"

// The item each box selects when the lists are filled.
inline constexpr int InitialIntervalIndex = 14;  // "600 毫秒"
inline constexpr int InitialTimeOutIndex = 14;   // "600 毫秒"
inline constexpr int InitialSizeIndex = 2;       // "32  字节"
inline constexpr int InitialTimesIndex = 0;      // "Continually"
inline constexpr int InitialRepeatIndex = 0;     // "1"

}  // namespace sondrel
