#include <gtest/gtest.h>

#include <QRandomGenerator>

#include "common/text_file.h"
#include "support/recording_prompts.h"
#include "targets/entry_forms.h"
#include "targets/target_expansion.h"

namespace sondrel {
namespace {

using testing::RecordingPrompts;
using Kind = EntryResult::Kind;

class EntryFormTest : public ::testing::Test {
  protected:
    void expectRefused(const EntryForm& form, const QString& message, FormControl focus) {
        ASSERT_EQ(prompts.shown.size(), 1);
        EXPECT_EQ(prompts.shown[0].text, message);
        EXPECT_EQ(prompts.shown[0].title, IpErrorTitle);
        EXPECT_EQ(prompts.shown[0].icon, MessageIcon::Critical);
        EXPECT_EQ(form.result().kind, Kind::None);
        EXPECT_EQ(form.focus(), focus);
        prompts.clear();
    }
    void setOctets(SingleEntryForm& form, const QStringList& texts) {
        for (int i = 0; i < 4; ++i)
            form.setOctet(i, texts.value(i));
    }

    RecordingPrompts prompts;
    ManualTargets manual;
    EntryExchange exchange;
};

TEST(StatusLineTest, RedWhenSomethingExistsElseGreen) {
    EXPECT_EQ(StatusLineColor(QStringLiteral("相同的标题web' 已存在。")), StatusRed);
    EXPECT_EQ(StatusLineColor(QStringLiteral("'web,10.0.0.1' 已添加到列表中.")), StatusGreen);
    EXPECT_EQ(StatusLineColor(QString()), StatusGreen);
}

TEST_F(EntryFormTest, SingleRefusesInvalidAddressesWithTheOneMessage) {
    SingleEntryForm form(prompts, manual);
    form.open(exchange);
    form.add();  // empty boxes read as 0.0.0.0
    EXPECT_EQ(form.address(), QStringLiteral("0.0.0.0"));
    expectRefused(form, InvalidIpMessage, FormControl::Title);

    setOctets(form, {"999", "1", "1", "1"});
    form.add();
    expectRefused(form, InvalidIpMessage, FormControl::Title);

    form.test();  // the ping button sends the focus to the host box
    expectRefused(form, InvalidIpMessage, FormControl::HostBox);
    EXPECT_EQ(manual.single, QString());
}

TEST_F(EntryFormTest, SingleReturnsTitleCommaAddress) {
    SingleEntryForm form(prompts, manual);
    form.open(exchange);
    setOctets(form, {"10", "0", "0", "1"});
    form.setTitle(QStringLiteral("   "));
    form.add();
    EXPECT_EQ(form.result().kind, Kind::Data);
    EXPECT_EQ(form.result().text, QStringLiteral("10.0.0.1,10.0.0.1"));

    form.open(exchange);
    setOctets(form, {"010", "1x", "", "7"});  // non-numeric tails and empty boxes
    form.setTitle(QStringLiteral(" lab (a,b) "));
    EXPECT_EQ(form.title(), QStringLiteral(" lab ab "));
    form.add();
    EXPECT_EQ(form.result().text, QStringLiteral("lab ab,10.1.0.7"));

    form.open(exchange);
    form.setOption(SingleEntryForm::AddressOption::Host);
    form.setHostText(QStringLiteral(" www.exam ple.org\r\n"));
    form.setTitle(QStringLiteral("web"));
    form.hostBoxEnter();
    EXPECT_EQ(form.result().text, QStringLiteral("web,www.example.org"));
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(EntryFormTest, SingleTestButtonSetsTheManualTarget) {
    SingleEntryForm form(prompts, manual);
    form.open(exchange);
    form.setOption(SingleEntryForm::AddressOption::Host);
    form.setHostText(QStringLiteral("host a"));
    form.test();
    EXPECT_EQ(manual.single, QStringLiteral("hosta"));
    EXPECT_EQ(form.result().kind, Kind::Closed);
    EXPECT_TRUE(form.result().testRequested);

    form.open(exchange);
    form.exit();
    EXPECT_EQ(form.result().kind, Kind::Closed);
    EXPECT_FALSE(form.result().testRequested);
}

TEST_F(EntryFormTest, SingleOpensForEditingAndShowsTheStatusOnce) {
    SingleEntryForm form(prompts, manual);
    exchange.editMode = true;
    exchange.editedEntry = QStringLiteral("Arouter,192.168.1.254");
    exchange.statusMessage = QStringLiteral("相同的 ip/url 'x' 已存在。");
    form.open(exchange);
    EXPECT_FALSE(exchange.editMode);
    EXPECT_EQ(exchange.statusMessage, QString());
    EXPECT_EQ(form.statusText(), QStringLiteral("相同的 ip/url 'x' 已存在。"));
    EXPECT_EQ(form.statusColor(), StatusRed);
    EXPECT_EQ(form.caption(), QStringLiteral("编辑 IP 地址"));
    EXPECT_EQ(form.addButtonCaption(), QStringLiteral("保存"));
    EXPECT_EQ(form.title(), QStringLiteral("router"));
    EXPECT_EQ(form.option(), SingleEntryForm::AddressOption::Ip);
    EXPECT_EQ(form.octet(0), QStringLiteral("192"));
    EXPECT_EQ(form.octet(3), QStringLiteral("254"));
    EXPECT_EQ(form.focus(), FormControl::Title);

    exchange.editMode = true;
    exchange.editedEntry = QStringLiteral("Aweb,www.debian.org");
    form.open(exchange);
    EXPECT_EQ(form.option(), SingleEntryForm::AddressOption::Host);
    EXPECT_EQ(form.hostText(), QStringLiteral("www.debian.org"));
    EXPECT_EQ(form.statusText(), QString());
    EXPECT_EQ(form.statusColor(), StatusGreen);

    form.open(exchange);  // edit mode was read: a new entry now
    EXPECT_EQ(form.caption(), QStringLiteral("添加单个 IP"));
    EXPECT_EQ(form.addButtonCaption(), QStringLiteral("添加 IP 列表"));
    EXPECT_EQ(SingleEntryForm::testButtonCaption(), QStringLiteral("侦测"));
}

TEST_F(EntryFormTest, OctetBoxesTakeDigitsAndMoveOnOtherwise) {
    SingleEntryForm single(prompts, manual);
    EXPECT_EQ(single.octetKeyPress(0, QLatin1Char('7')), FormControl::None);
    EXPECT_EQ(single.octetKeyPress(0, QLatin1Char('\b')), FormControl::None);
    EXPECT_EQ(single.octetKeyPress(0, QLatin1Char('.')), FormControl::Start1);
    EXPECT_EQ(single.octetKeyPress(2, QLatin1Char(' ')), FormControl::Start3);
    EXPECT_EQ(single.octetKeyPress(3, QLatin1Char('\r')), FormControl::AddButton);
    EXPECT_EQ(single.octetKeyPress(1, QChar(0x4E2D)), FormControl::Start2);
    single.setOctet(0, QStringLiteral("12345"));
    EXPECT_EQ(single.octet(0), QStringLiteral("123"));

    RangeEntryForm range(prompts, manual);
    EXPECT_EQ(range.startOctetKeyPress(1, QLatin1Char('a')), FormControl::Start2);
    EXPECT_EQ(range.startOctetKeyPress(3, QLatin1Char('a')), FormControl::End0);
    EXPECT_EQ(range.endOctetKeyPress(0, QLatin1Char('a')), FormControl::End1);
    EXPECT_EQ(range.endOctetKeyPress(3, QLatin1Char('a')), FormControl::AddButton);
    EXPECT_EQ(range.endOctetKeyPress(3, QLatin1Char('0')), FormControl::None);
}

TEST_F(EntryFormTest, TitlesRefuseWhatWouldBreakTheStoredLine) {
    SingleEntryForm single(prompts, manual);
    GroupEntryForm group(prompts, manual);
    RangeEntryForm range(prompts, manual);
    for (const QChar c : {QLatin1Char(','), QLatin1Char('\r'), QLatin1Char('\n')}) {
        EXPECT_FALSE(single.acceptsTitleChar(c));
        EXPECT_FALSE(group.acceptsTitleChar(c));
        EXPECT_FALSE(range.acceptsTitleChar(c));
    }
    EXPECT_FALSE(single.acceptsTitleChar(QLatin1Char('(')));
    EXPECT_FALSE(single.acceptsTitleChar(QLatin1Char(')')));
    EXPECT_TRUE(group.acceptsTitleChar(QLatin1Char('(')));
    group.setTitle(QStringLiteral("a,b (c)\r\nd"));
    EXPECT_EQ(group.title(), QStringLiteral("ab (c)d"));
    range.setTitle(QStringLiteral("范围,1"));
    EXPECT_EQ(range.title(), QStringLiteral("范围1"));
}

TEST_F(EntryFormTest, GroupSampleTextGivesWayAndReturnsNothing) {
    GroupEntryForm form(prompts, manual);
    manual.group = QStringLiteral("BManual,old");
    form.open(exchange);
    EXPECT_EQ(manual.group, QString());
    EXPECT_EQ(form.caption(), QStringLiteral("添加一组 IP 地址"));
    EXPECT_EQ(form.title(), QStringLiteral("IP_Group_"));
    EXPECT_TRUE(form.memberText().startsWith(QStringLiteral("输入")));
    EXPECT_NE(form.memberColor(), MemberTextBlue);
    form.add();
    EXPECT_EQ(form.result().kind, Kind::Nothing);
    form.open(exchange);
    form.test();
    EXPECT_EQ(form.result().kind, Kind::Nothing);

    form.memberBoxFocused();
    EXPECT_EQ(form.memberText(), QString());
    EXPECT_EQ(form.memberColor(), MemberTextBlue);
    form.setMemberText(QStringLiteral("10.0.0.1"));
    form.memberBoxFocused();  // only the sample is cleared
    EXPECT_EQ(form.memberText(), QStringLiteral("10.0.0.1"));
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(EntryFormTest, GroupRefusesEmptyAndInvalidItems) {
    GroupEntryForm form(prompts, manual);
    form.open(exchange);
    form.setMemberText(QStringLiteral("   "));
    form.add();
    expectRefused(form, InvalidIpMessage, FormControl::MemberBox);

    form.setMemberText(QStringLiteral("10.0.0.1 (router)\r\n\r\n10.0.0.2"));
    form.add();
    expectRefused(form, InvalidItemMessage({}), FormControl::MemberBox);
    EXPECT_EQ(InvalidItemMessage({}), QStringLiteral(" IP 项无效''.   "));

    form.setMemberText(QStringLiteral("10.0.0.1\r\n10.0. 0.300 (bad)"));
    form.test();
    expectRefused(form, QStringLiteral(" IP 项无效'10.0.0.300'.   "), FormControl::MemberBox);
    EXPECT_EQ(manual.group, QString());

    form.setMemberText(QStringLiteral("10.0.0.1\r\n\r\n"));  // two line breaks: empty last item
    form.add();
    expectRefused(form, InvalidItemMessage({}), FormControl::MemberBox);
}

TEST_F(EntryFormTest, GroupJoinsLinesWithCommas) {
    GroupEntryForm form(prompts, manual);
    form.open(exchange);
    form.setTitle(QStringLiteral("  office  "));
    form.setMemberText(QStringLiteral("  10.0.0.1 (router)\r\nwww.debian.org\r\n"));
    form.add();
    EXPECT_EQ(form.result().kind, Kind::Data);
    EXPECT_EQ(form.result().text, QStringLiteral("10.0.0.1 (router),www.debian.org"));
    EXPECT_EQ(form.result().title, QStringLiteral("office"));

    form.open(exchange);
    form.setMemberText(QStringLiteral("10.0.0.1\n10.0.0.2\n"));  // lines ended by LF alone
    form.test();
    EXPECT_EQ(manual.group, QStringLiteral("BManual,10.0.0.1,10.0.0.2"));
    EXPECT_TRUE(form.result().testRequested);
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(EntryFormTest, GroupOpensWithPrefillOrTheEditedEntry) {
    GroupEntryForm form(prompts, manual);
    exchange.groupPrefill = QStringLiteral("10.0.0.1 (alpha)\r\n10.0.0.2");
    form.open(exchange);
    EXPECT_EQ(form.memberText(), QStringLiteral("10.0.0.1 (alpha)\r\n10.0.0.2"));
    EXPECT_EQ(form.title(), QStringLiteral("IP_Group_"));
    EXPECT_EQ(form.memberColor(), MemberTextBlue);
    EXPECT_EQ(exchange.groupPrefill, QString());

    exchange.editMode = true;
    exchange.editedEntry = QStringLiteral("Boffice,10.0.0.1 (router),10.0.0.2");
    form.open(exchange);
    EXPECT_EQ(form.caption(), QStringLiteral("编辑 IP 组"));
    EXPECT_EQ(form.title(), QStringLiteral("office"));
    EXPECT_EQ(form.memberText(), QStringLiteral("10.0.0.1 (router)\r\n10.0.0.2"));
    EXPECT_EQ(exchange.editedEntry, QString());

    // Shown again for the same edit: what was typed stays.
    form.setTitle(QStringLiteral("typed"));
    exchange.editMode = true;
    form.open(exchange);
    EXPECT_EQ(form.title(), QStringLiteral("typed"));
    EXPECT_EQ(form.addButtonCaption(), QStringLiteral("保存"));

    exchange.editMode = true;
    exchange.editedEntry = QStringLiteral("Bone,10.0.0.9");
    form.open(exchange);
    EXPECT_EQ(form.memberText(), QStringLiteral("10.0.0.9"));
}

TEST_F(EntryFormTest, RangeChecksBothBoundsStrictly) {
    RangeEntryForm form(prompts, manual);
    form.open(exchange);
    EXPECT_EQ(form.title(), QStringLiteral("IP_范围_"));
    EXPECT_EQ(form.caption(), QStringLiteral("添加一个范围内的 IP 地址"));
    EXPECT_EQ(RangeEntryForm::testButtonCaption(), QStringLiteral("扫描 IP"));
    form.add();
    expectRefused(form, InvalidRangeStartMessage, FormControl::Start0);

    const QStringList start{"10", "0", "0", "9"};
    for (int i = 0; i < 4; ++i)
        form.setStartOctet(i, start[i]);
    form.setEndOctet(0, QStringLiteral("10"));
    form.setEndOctet(1, QStringLiteral("0"));
    form.setEndOctet(2, QStringLiteral("0"));
    form.setEndOctet(3, QStringLiteral("256"));
    form.test();
    expectRefused(form, InvalidRangeEndMessage, FormControl::End0);
    EXPECT_EQ(manual.range, QString());

    form.setEndOctet(3, QStringLiteral("01"));  // lower than the start: taken as entered
    form.setTitle(QStringLiteral("  down "));
    form.add();
    EXPECT_EQ(form.result().kind, Kind::Data);
    EXPECT_EQ(form.result().text, QStringLiteral("10.0.0.9,10.0.0.1"));
    EXPECT_EQ(form.result().title, QStringLiteral("down"));

    form.open(exchange);
    form.copyStartToEnd();
    EXPECT_EQ(form.endOctet(3), QStringLiteral("9"));
    form.test();
    EXPECT_EQ(manual.range, QStringLiteral("CIP_Range_Manual,10.0.0.9,10.0.0.9"));
    EXPECT_TRUE(form.result().testRequested);
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(EntryFormTest, RangeOpensWithPrefillOrTheEditedEntry) {
    RangeEntryForm form(prompts, manual);
    manual.range = QStringLiteral("CIP_Range_Manual,1.1.1.1,1.1.1.2");
    exchange.rangePrefillStart = QStringLiteral("10.1.2.0");
    exchange.rangePrefillEnd = QStringLiteral("10.1.2.255");
    form.open(exchange);
    EXPECT_EQ(manual.range, QString());
    EXPECT_EQ(form.startOctet(2), QStringLiteral("2"));
    EXPECT_EQ(form.startOctet(3), QStringLiteral("0"));
    EXPECT_EQ(form.endOctet(3), QStringLiteral("255"));
    EXPECT_EQ(exchange.rangePrefillStart, QString());
    EXPECT_EQ(exchange.rangePrefillEnd, QString());

    exchange.editMode = true;
    exchange.editedEntry = QStringLiteral("Cnet,192.168.0.1,192.168.3.200");
    exchange.statusMessage = QStringLiteral("相同的标题net' 已存在。");
    form.open(exchange);
    EXPECT_EQ(form.caption(), QStringLiteral("编辑 ip 地址范围"));
    EXPECT_EQ(form.title(), QStringLiteral("net"));
    EXPECT_EQ(form.startOctet(0), QStringLiteral("192"));
    EXPECT_EQ(form.endOctet(2), QStringLiteral("3"));
    EXPECT_EQ(form.endOctet(3), QStringLiteral("200"));
    EXPECT_EQ(form.statusColor(), StatusRed);
    EXPECT_EQ(exchange.editedEntry, QStringLiteral("Cnet,192.168.0.1,192.168.3.200"));
}

// Whatever is typed, an accepted entry is one line whose title field is the title and whose
// addresses pass the checks; nothing crashes.
TEST_F(EntryFormTest, RandomInputNeverYieldsABrokenEntry) {
    const QString pieces[] = {"1",  "25", "999",  ".",  ",", "(",   ")",  " ", "\r\n", "\n",
                              "\r", "a",  "输入", "中", "0", "www", "\t", "-", "",     "300"};
    QRandomGenerator random(7);
    auto text = [&] {
        QString t;
        for (int i = random.bounded(8); i > 0; --i)
            t += pieces[random.bounded(int(std::size(pieces)))];
        return t;
    };
    SingleEntryForm single(prompts, manual);
    GroupEntryForm group(prompts, manual);
    RangeEntryForm range(prompts, manual);
    for (int round = 0; round < 3000; ++round) {
        single.open(exchange);
        single.setTitle(text());
        single.setOption(random.bounded(2) ? SingleEntryForm::AddressOption::Host
                                           : SingleEntryForm::AddressOption::Ip);
        single.setHostText(text());
        for (int i = 0; i < 4; ++i)
            single.setOctet(i, text());
        single.add();
        if (single.result().kind == Kind::Data) {
            const QString& t = single.result().text;
            ASSERT_FALSE(t.contains(QLatin1Char('\n')) || t.contains(QLatin1Char('\r')));
            ASSERT_NE(ClassifyAddress(t.section(QLatin1Char(','), 1)).kind,
                      AddressKind::InvalidAddress);
        }
        group.open(exchange);
        group.setTitle(text());
        group.setMemberText(text() + text());
        group.add();
        if (group.result().kind == Kind::Data) {
            ASSERT_FALSE(group.result().title.contains(QLatin1Char(',')));
            ASSERT_FALSE(group.result().text.contains(QLatin1Char('\n')));
            for (const QString& item : group.result().text.split(QLatin1Char(',')))
                ASSERT_FALSE(TrimSpaces(item).isEmpty());
        }
        range.open(exchange);
        range.setTitle(text());
        for (int i = 0; i < 4; ++i) {
            range.setStartOctet(i, text());
            range.setEndOctet(i, text());
        }
        range.add();
        if (range.result().kind == Kind::Data) {
            const QStringList bounds = range.result().text.split(QLatin1Char(','));
            ASSERT_EQ(bounds.size(), 2);
            ASSERT_EQ(NormalizeIpAddress(bounds[0]), bounds[0]);
            ASSERT_EQ(NormalizeIpAddress(bounds[1]), bounds[1]);
        }
    }
}

}  // namespace
}  // namespace sondrel
