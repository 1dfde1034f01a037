#include "engine/parameter_lists.h"

namespace sondrel {

namespace {

// "10 毫秒" ... "90 毫秒", "100 毫秒" ... "900 毫秒", then "1000 毫秒" up to `lastSeconds` s.
QStringList MillisecondItems(int lastSeconds) {
    QStringList items;
    for (const QString& zeros : {QStringLiteral("0"), QStringLiteral("00")}) {
        for (int i = 1; i <= 9; ++i)
            items << QString::number(i) + zeros + QStringLiteral(" 毫秒");
    }
    for (int i = 1; i <= lastSeconds; ++i)
        items << QString::number(i) + QStringLiteral("000 毫秒");
    return items;
}

}  // namespace

QStringList IntervalItems() {
    return MillisecondItems(60) << AdvancedItem;
}

QStringList TimeOutItems() {
    return MillisecondItems(9);
}

QStringList SizeItems() {
    return {QStringLiteral("8  字节"),
            QStringLiteral("16  字节"),
            QStringLiteral("32  字节"),
            QStringLiteral("64  字节"),
            QStringLiteral("128  字节"),
            QStringLiteral("256  字节"),
            QStringLiteral("512   字节"),
            QStringLiteral("1024  字节"),
            QStringLiteral("2048  字节"),
            QStringLiteral("4096  字节"),
            QStringLiteral("8192  字节"),
            QStringLiteral("16384  字节"),
            QStringLiteral("32000  字节"),
            FixedSizeListItem,
            SizeRampItem,
            AdvancedItem};
}

QStringList TimesItems() {
    QStringList items{ContinuallyItem};
    for (int n : {1, 2, 4, 8, 16, 32, 64, 128, 256, 500, 1000, 2000, 4000, 8000, 16000, 32000,
                  64000, 100000}) {
        items << QString::number(n);
    }
    return items;
}

QStringList RepeatPerIPItems() {
    QStringList items;
    for (int i = 1; i <= 100; ++i)
        items << QString::number(i);
    return items;
}

}  // namespace sondrel
