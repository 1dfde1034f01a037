#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include "support/fake_echo.h"
#include "targets/target_expansion.h"

namespace sondrel {
namespace {

using testing::FakeResolver;

QString Unresolved(const QString& text) {
    return QStringLiteral("\r\n       ") + text;
}

class TargetExpansionTest : public ::testing::Test {
  protected:
    TargetExpansionTest() {
        resolver.names.insert(QStringLiteral("www.example.test"), QStringLiteral("203.0.113.5"));
        resolve = [this](const QString& host) { return resolver.hostNameToAddress(host); };
    }
    FakeResolver resolver;
    ResolveFn resolve;
    ExpandedTargets targets;
};

TEST(ClassifyAddressTest, SortsTextsIntoAddressesInvalidAddressesAndHostNames) {
    struct Case {
        const char* text;
        AddressKind kind;
        const char* normalized;
    };
    const Case cases[] = {
        {"www", AddressKind::HostName, ""},
        {"a.b", AddressKind::HostName, ""},
        {"www.example.test", AddressKind::HostName, ""},
        {"1.2", AddressKind::HostName, ""},  // fewer than two dots
        {"", AddressKind::HostName, ""},
        {"1.2.3.x", AddressKind::HostName, ""},
        {"\u0661.2.3.4", AddressKind::HostName, ""},  // non-ASCII digit
        {"1.2.3", AddressKind::InvalidAddress, ""},
        {"1.2.3.4.5", AddressKind::InvalidAddress, ""},
        {"1.2.3.4.", AddressKind::InvalidAddress, ""},
        {"0.0.0.0", AddressKind::InvalidAddress, ""},
        {"00.0.000.0", AddressKind::InvalidAddress, ""},
        {"1.2.3.256", AddressKind::InvalidAddress, ""},
        {"99999.1.1.1", AddressKind::InvalidAddress, ""},
        {"123456789012345678901234567890.1.1.1", AddressKind::InvalidAddress, ""},
        {".1.2.3", AddressKind::InvalidAddress, ""},
        {"1..2.3", AddressKind::InvalidAddress, ""},
        {"10. 0.0.1", AddressKind::Address, "10.0.0.1"},
        {" 192.168.1.1 ", AddressKind::Address, "192.168.1.1"},
        {"010.001.001.010", AddressKind::Address, "10.1.1.10"},
        {"0.0.0.1", AddressKind::Address, "0.0.0.1"},
        {"255.255.255.255", AddressKind::Address, "255.255.255.255"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const AddressCheck check = ClassifyAddress(QString::fromUtf8(c.text));
        EXPECT_EQ(check.kind, c.kind);
        EXPECT_EQ(check.normalized, QString::fromUtf8(c.normalized));
    }
}

TEST(ClassifyAddressTest, RemembersTheTextWithSpacesRemoved) {
    EXPECT_EQ(ClassifyAddress(QStringLiteral(" 10. 0.0.1 ")).examined, QStringLiteral("10.0.0.1"));
    EXPECT_EQ(ClassifyAddress(QStringLiteral(" my host ")).examined, QStringLiteral("myhost"));
    EXPECT_EQ(ClassifyAddress(QStringLiteral("a\tb")).examined, QStringLiteral("a\tb"));
}

TEST(NormalizeIpAddressTest, StrictCheckOfRangeBounds) {
    EXPECT_EQ(NormalizeIpAddress(QStringLiteral("0.0.0.0")), QStringLiteral("0.0.0.0"));
    EXPECT_EQ(NormalizeIpAddress(QStringLiteral("  010.001.001.010 ")),
              QStringLiteral("10.1.1.10"));
    EXPECT_EQ(NormalizeIpAddress(QStringLiteral("255.255.255.255")),
              QStringLiteral("255.255.255.255"));
    for (const char* bad : {"1.2.3", "1.2.3.4.5", "1.2.3.256", "1..2.3", "1.2.3.", "a.b.c.d",
                            "10. 0.0.1", "1.2.3.-4", "1.2.3.4x", "", "99999999999.1.1.1"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(NormalizeIpAddress(QString::fromUtf8(bad)), QString());
    }
}

TEST(SplitTargetTextTest, TitleCommaHostAndParenthesisedLabels) {
    using Split = std::pair<QString, QString>;
    EXPECT_EQ(SplitTargetText(QStringLiteral("web,www.example.test")),
              Split(QStringLiteral("www.example.test"), QStringLiteral("web")));
    EXPECT_EQ(SplitTargetText(QStringLiteral("a,b,c")),
              Split(QStringLiteral("b"), QStringLiteral("a")));
    EXPECT_EQ(SplitTargetText(QStringLiteral("192.168.1.1 (printer)")),
              Split(QStringLiteral("192.168.1.1"), QStringLiteral("printer")));
    EXPECT_EQ(SplitTargetText(QStringLiteral(" host (a)b)")),
              Split(QStringLiteral("host"), QStringLiteral("ab")));
    EXPECT_EQ(SplitTargetText(QStringLiteral("host")), Split(QStringLiteral("host"), QString()));
    EXPECT_EQ(SplitTargetText(QString()), Split(QString(), QString()));

    const QString longLabel(2000, QLatin1Char('x'));
    EXPECT_EQ(SplitTargetText(QStringLiteral("h(") + longLabel).second.size(), 999);
}

TEST(EntryTitleTest, FirstFieldAfterTheKindLetter) {
    EXPECT_EQ(EntryTitle(QStringLiteral("Aweb,www.example.test")), QStringLiteral("web"));
    EXPECT_EQ(EntryTitle(QStringLiteral("B办公室,10.0.0.1,10.0.0.2")), QStringLiteral("办公室"));
    EXPECT_EQ(EntryTitle(QStringLiteral("Cr")), QStringLiteral("r"));
    EXPECT_EQ(EntryTitle(QStringLiteral("A")), QString());
    EXPECT_EQ(EntryTitle(QString()), QString());
}

TEST_F(TargetExpansionTest, RangeIsTheBoxSpannedOctetByOctet) {
    ExpandTargetEntry(targets, QStringLiteral("Cr,10.0.0.250,10.0.1.5"), resolve);
    ASSERT_EQ(targets.count(), 492);
    EXPECT_EQ(targets.targetIP.first(), QStringLiteral("10.0.0.250"));
    EXPECT_EQ(targets.targetIP[1], QStringLiteral("10.0.0.249"));
    EXPECT_EQ(targets.targetIP[245], QStringLiteral("10.0.0.5"));
    EXPECT_EQ(targets.targetIP[246], QStringLiteral("10.0.1.250"));
    EXPECT_EQ(targets.targetIP.last(), QStringLiteral("10.0.1.5"));
    EXPECT_EQ(targets.targetShow, targets.targetIP);
    EXPECT_EQ(targets.targetTitle, QStringList(492, QString()));
    EXPECT_FALSE(targets.longAddressFlag);  // "10.0.0.250" is 10 characters
    EXPECT_TRUE(resolver.asked.isEmpty());
}

TEST_F(TargetExpansionTest, RangeRunsDownwardsAndEqualBoundsGiveOne) {
    ExpandAddressRange(targets, QStringLiteral("192.168.1.10"), QStringLiteral("192.168.1.1"));
    QStringList expected;
    for (int i = 10; i >= 1; --i)
        expected << QStringLiteral("192.168.1.%1").arg(i);
    EXPECT_EQ(targets.targetIP, expected);
    EXPECT_FALSE(targets.longAddressFlag);

    targets.clear();
    ExpandAddressRange(targets, QStringLiteral("10.9.8.7"), QStringLiteral("10.9.8.7"));
    EXPECT_EQ(targets.targetIP, QStringList{QStringLiteral("10.9.8.7")});

    targets.clear();  // a hand-edited line with spaces around the bounds
    ExpandTargetEntry(targets, QStringLiteral("Cx, 10.0.0.01 ,10.0.0.2"), resolve);
    EXPECT_EQ(targets.targetIP, (QStringList{"10.0.0.1", "10.0.0.2"}));
}

TEST_F(TargetExpansionTest, RangeIteratesEveryOctetOnItsOwn) {
    ExpandAddressRange(targets, QStringLiteral("10.1.0.1"), QStringLiteral("9.1.0.2"));
    EXPECT_EQ(targets.targetIP, (QStringList{"10.1.0.1", "10.1.0.2", "9.1.0.1", "9.1.0.2"}));

    targets.clear();
    ExpandAddressRange(targets, QStringLiteral("10.0.0.0"), QStringLiteral("10.0.255.255"));
    EXPECT_EQ(targets.count(), 65536);
    EXPECT_EQ(targets.targetIP.last(), QStringLiteral("10.0.255.255"));
    EXPECT_EQ(targets.targetTitle.size(), 65536);

    targets.clear();
    ExpandAddressRange(targets, QStringLiteral("192.168.100.100"),
                       QStringLiteral("192.168.100.99"));
    EXPECT_EQ(targets.count(), 2);
    EXPECT_TRUE(targets.longAddressFlag);  // 15 characters
}

TEST_F(TargetExpansionTest, MalformedRangesGiveNoTargetsAndKeepEarlierOnes) {
    ExpandTargetEntry(targets, QStringLiteral("Aa,10.0.0.1"), resolve);
    for (const char* line :
         {"C", "Cx", "Cx,", "Cx,10.0.0.1", "Cx,10.0.0.1,", "Cx,1.2.3,a.b.c.d",
          "Cx,10.0.0.1,10.0.0.256", "Cx,10.0.0.1,10.0.0.99999", "Cx,-1.0.0.0,10.0.0.5",
          "Cx,10.0.0.1,10.0.0.5.6", "Cx,10.0.0.1,40000.0.0.1", "Cx,1.2.3.4,,1.2.3.5",
          "Cx,+1.0.0.0,1.0.0.1", "Cx,1.0.0.0,1.0.0.\t1"}) {
        SCOPED_TRACE(line);
        ExpandTargetEntry(targets, QString::fromUtf8(line), resolve);
        EXPECT_EQ(targets.targetIP, QStringList{QStringLiteral("10.0.0.1")});
        EXPECT_EQ(targets.unresolvedCount, 0);
    }
}

TEST_F(TargetExpansionTest, GroupMembersWithLabelsNumericAndResolvedNames) {
    resolver.names.insert(QStringLiteral("nas"), QStringLiteral("192.168.1.20"));
    ExpandTargetEntry(targets,
                      QStringLiteral("B办公室,192.168.1.1 (printer),10.0.0.300,nas (文件),nosuch"),
                      resolve);
    EXPECT_EQ(targets.targetIP, (QStringList{"192.168.1.1", "10.0.0.300", "192.168.1.20"}));
    EXPECT_EQ(targets.targetShow, (QStringList{"192.168.1.1", "10.0.0.300", "nas / 192.168.1.20"}));
    EXPECT_EQ(targets.targetTitle, (QStringList{"printer", "", "文件"}));
    EXPECT_EQ(targets.unresolvedCount, 1);
    EXPECT_EQ(targets.unresolvedText, Unresolved(QStringLiteral("nosuch")));
    EXPECT_EQ(resolver.asked, (QStringList{"nas", "nosuch"}));  // numeric members are not resolved
}

TEST_F(TargetExpansionTest, EmptyGroupMembersCountAsUnresolvedWithoutALookUp) {
    ExpandTargetEntry(targets, QStringLiteral("Bg,10.0.0.1,  ,"), resolve);
    EXPECT_EQ(targets.targetIP, QStringList{QStringLiteral("10.0.0.1")});
    EXPECT_EQ(targets.unresolvedCount, 2);
    EXPECT_EQ(targets.unresolvedText, Unresolved(QStringLiteral("  ")) + Unresolved(QString()));
    EXPECT_TRUE(resolver.asked.isEmpty());

    targets.clear();
    ExpandTargetEntry(targets, QStringLiteral("Bonly-title"), resolve);
    EXPECT_EQ(targets.count(), 0);
    EXPECT_EQ(targets.unresolvedCount, 0);
}

TEST_F(TargetExpansionTest, SingleEntryWithAHostName) {
    ExpandTargetEntry(targets, QStringLiteral("Aweb,www.example.test"), resolve);
    EXPECT_EQ(targets.targetIP, QStringList{QStringLiteral("203.0.113.5")});
    EXPECT_EQ(targets.targetShow, QStringList{QStringLiteral("www.example.test / 203.0.113.5")});
    EXPECT_EQ(targets.targetTitle, QStringList{QStringLiteral("web")});
    EXPECT_EQ(targets.unresolvedCount, 0);

    targets.clear();
    ExpandTargetEntry(targets, QStringLiteral("Aweb,nowhere.example.test  "), resolve);
    EXPECT_EQ(targets.count(), 0);
    EXPECT_EQ(targets.unresolvedCount, 1);
    EXPECT_EQ(targets.unresolvedText, Unresolved(QStringLiteral("web,nowhere.example.test")));
}

TEST_F(TargetExpansionTest, SingleNumericEntryIsProbedAsTypedWithItsTitle) {
    ExpandTargetEntry(targets, QStringLiteral("Arouter,192.168.100.254"), resolve);
    EXPECT_EQ(targets.targetIP, QStringList{QStringLiteral("192.168.100.254")});
    EXPECT_EQ(targets.targetTitle, QStringList{QStringLiteral("router")});
    EXPECT_TRUE(targets.longAddressFlag);
    EXPECT_TRUE(resolver.asked.isEmpty());

    targets.clear();
    EXPECT_FALSE(targets.longAddressFlag);
    EXPECT_EQ(AddTargetAddress(targets, QStringLiteral("010.0.0.1"), resolve),
              QStringLiteral("010.0.0.1"));
    EXPECT_EQ(targets.targetShow, QStringList{QStringLiteral("010.0.0.1")});
    EXPECT_EQ(AddTargetAddress(targets, QStringLiteral("nowhere"), resolve), QString());
    EXPECT_EQ(targets.count(), 1);
    EXPECT_EQ(targets.unresolvedCount, 0);  // counting is the caller's part
}

TEST_F(TargetExpansionTest, OtherKindsAndEmptyLinesAppendNothing) {
    for (const char* line : {"", "A", "Zx,10.0.0.1", "a x,10.0.0.1", "=A,10.0.0.1"}) {
        ExpandTargetEntry(targets, QString::fromUtf8(line), resolve);
    }
    EXPECT_EQ(targets.count(), 0);
    EXPECT_EQ(targets.unresolvedCount, 1);  // the bare "A" names an empty host
    ExpandTargetEntry(targets, QStringLiteral("Ax,10.0.0.1"), ResolveFn());
    EXPECT_EQ(targets.count(), 1);
}

// Random texts built from the characters that matter to the parsers never crash them, and
// keep the three target lists in step.
TEST_F(TargetExpansionTest, RandomTextsNeverBreakTheParsers) {
    const QString alphabet = QStringLiteral("0123456789012345.,.,() ab-中\t");
    QRandomGenerator random(20260503);
    for (int round = 0; round < 4000; ++round) {
        QString text;
        const int length = random.bounded(40);
        for (int i = 0; i < length; ++i)
            text += alphabet.at(random.bounded(alphabet.size()));

        const AddressCheck check = ClassifyAddress(text);
        const QString strict = NormalizeIpAddress(text);
        if (check.kind == AddressKind::Address) {
            EXPECT_EQ(NormalizeIpAddress(check.examined), check.normalized) << qPrintable(text);
        }
        if (!strict.isEmpty()) {
            EXPECT_EQ(NormalizeIpAddress(strict), strict);
        }
        SplitTargetText(text);
        EntryTitle(text);

        const QString kind = QStringLiteral("ABC").at(random.bounded(3));
        const QStringList fields = text.split(QLatin1Char(','));
        if (kind == QLatin1String("C")) {
            // Keep the boxes small: two proper bounds that differ before the last octet are
            // left out.
            const QString s = NormalizeIpAddress(fields.value(0).remove(QLatin1Char(' ')));
            const QString e = NormalizeIpAddress(fields.value(1).remove(QLatin1Char(' ')));
            if (!s.isEmpty() && !e.isEmpty() && s.section('.', 0, 2) != e.section('.', 0, 2)) {
                continue;
            }
        }
        ExpandTargetEntry(targets, kind + QStringLiteral("t,") + text, resolve);
        ASSERT_EQ(targets.targetShow.size(), targets.count());
        ASSERT_EQ(targets.targetTitle.size(), targets.count());
    }
    EXPECT_GT(targets.count(), 0);
}

}  // namespace
}  // namespace sondrel
