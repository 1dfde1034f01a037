#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <deque>
#include <functional>

#include "common/text_file.h"
#include "support/fake_local_network.h"
#include "support/recording_prompts.h"
#include "targets/entry_editing.h"
#include "targets/target_list.h"

namespace sondrel {
namespace {

using testing::FakeLocalNetwork;
using testing::RecordingPrompts;

// Plays the operator: each showing of a dialog runs the next step of that dialog's script;
// without one the dialog is left without a result (closed).
class ScriptedDialogs final : public EntryDialogs {
  public:
    template <typename Form>
    using Script = std::deque<std::function<void(Form&)>>;

    struct Showing {
        QString caption;
        QString status;
    };

    void execSingle(SingleEntryForm& form) override { play(single, form); }
    void execGroup(GroupEntryForm& form) override { play(group, form); }
    void execRange(RangeEntryForm& form) override { play(range, form); }

    Script<SingleEntryForm> single;
    Script<GroupEntryForm> group;
    Script<RangeEntryForm> range;
    QList<Showing> shown;

  private:
    template <typename Form>
    void play(Script<Form>& script, Form& form) {
        shown.append({form.caption(), form.statusText()});
        if (script.empty())
            return;
        auto step = std::move(script.front());
        script.pop_front();
        step(form);
    }
};

void SetOctets(SingleEntryForm& form, const QString& address) {
    const QStringList parts = address.split(QLatin1Char('.'));
    for (int i = 0; i < 4; ++i)
        form.setOctet(i, parts.value(i));
}

void SetRange(RangeEntryForm& form, const QString& start, const QString& end) {
    for (int i = 0; i < 4; ++i) {
        form.setStartOctet(i, start.split(QLatin1Char('.')).value(i));
        form.setEndOctet(i, end.split(QLatin1Char('.')).value(i));
    }
}

class EntryEditorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("data")));
        QObject::connect(&editor, &EntryEditor::currentItemChanged,
                         [this](int position) { current << position; });
        QObject::connect(&editor, &EntryEditor::runRequested,
                         [this](EntryKind kind) { runs << kind; });
    }
    void load(const QStringList& lines) {
        ASSERT_TRUE(WriteTextFileAtomically(list.filePath(), lines + QStringList{" "}, nullptr));
        list.Fill_IP_List_2();
    }
    QByteArray fileBytes() const {
        QFile file(list.filePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    QStringList statuses() const {
        QStringList out;
        for (const auto& s : dialogs.shown)
            out << s.status;
        return out;
    }

    QTemporaryDir dir;
    FakeLocalNetwork network;
    RecordingPrompts prompts;
    TargetList list{dir.filePath(QStringLiteral("data")), network, prompts};
    ScriptedDialogs dialogs;
    ManualTargets manual;
    EntryEditor editor{list, dialogs, prompts, manual};
    QList<int> current;
    QList<EntryKind> runs;
};

TEST_F(EntryEditorTest, AddedSingleEntriesAreStoredReportedAndSelected) {
    load({"Azz,10.0.0.99", "Bgrp,10.0.0.1"});
    dialogs.single.push_back([](SingleEntryForm& f) {
        SetOctets(f, QStringLiteral("10.0.0.1"));
        f.setTitle({});
        f.add();
    });
    dialogs.single.push_back([](SingleEntryForm& f) {
        SetOctets(f, QStringLiteral("10.0.0.2"));
        f.setTitle(QStringLiteral("aa"));
        f.add();
    });
    editor.AddSingleEntry();

    EXPECT_EQ(list.IPEntries(), (QStringList{"A10.0.0.1,10.0.0.1", "Aaa,10.0.0.2", "Azz,10.0.0.99",
                                             "Bgrp,10.0.0.1"}));
    EXPECT_EQ(ReadTextLines(list.filePath()).last(), QStringLiteral(" "));
    EXPECT_EQ(current, (QList<int>{0, 1}));
    EXPECT_EQ(statuses(), (QStringList{QString(), "'10.0.0.1,10.0.0.1' 已添加到列表中.",
                                       "'aa,10.0.0.2' 已添加到列表中."}));
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("添加单个 IP"));
    EXPECT_TRUE(runs.isEmpty());
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(EntryEditorTest, TitleTakenInAnyLetterCaseIsRefusedWithTheRedStatusLine) {
    load({"Aweb,10.0.0.5", "Bip_群组,10.0.0.1"});
    const QByteArray before = fileBytes();
    dialogs.single.push_back([](SingleEntryForm& f) {
        f.setOption(SingleEntryForm::AddressOption::Host);
        f.setHostText(QStringLiteral("www.debian.org"));
        f.setTitle(QStringLiteral("WEB"));
        f.add();
    });
    editor.AddSingleEntry();
    dialogs.group.push_back([](GroupEntryForm& f) {
        f.setTitle({});
        f.setMemberText(QStringLiteral("10.0.0.2"));
        f.add();
    });
    editor.AddGroupEntry();

    EXPECT_EQ(statuses(), (QStringList{QString(), "相同的标题WEB' 已存在。", QString(),
                                       "相同的标题IP_群组' 已存在。"}));
    EXPECT_EQ(StatusLineColor(statuses()[1]), StatusRed);
    EXPECT_EQ(fileBytes(), before);
    EXPECT_TRUE(current.isEmpty());
}

TEST_F(EntryEditorTest, EmptyGroupAndRangeTitlesTakeTheDefaults) {
    load({"Aa,10.0.0.1"});
    dialogs.group.push_back([](GroupEntryForm& f) {
        f.setTitle(QStringLiteral("  "));
        f.setMemberText(QStringLiteral("10.0.0.1 (router)\r\n10.0.0.2\r\n"));
        f.add();
    });
    editor.AddGroupEntry();
    dialogs.range.push_back([](RangeEntryForm& f) {
        f.setTitle({});
        SetRange(f, QStringLiteral("10.0.0.9"), QStringLiteral("10.0.0.1"));
        f.add();
    });
    editor.AddRangeEntry();

    EXPECT_EQ(list.IPEntries(), (QStringList{"Aa,10.0.0.1", "BIP_群组,10.0.0.1 (router),10.0.0.2",
                                             "CIP_区域,10.0.0.9,10.0.0.1"}));
    EXPECT_EQ(statuses(), (QStringList{QString(), "'IP_群组' 已添加到列表中.", QString(),
                                       "'IP_区域' 已添加到列表中."}));
    EXPECT_EQ(current, (QList<int>{1, 2}));
}

TEST_F(EntryEditorTest, TestButtonsSetTheManualTargetAndRequestARun) {
    load({"Aa,10.0.0.1"});
    const QByteArray before = fileBytes();
    dialogs.single.push_back([](SingleEntryForm& f) {
        SetOctets(f, QStringLiteral("10.0.0.7"));
        f.test();
    });
    editor.AddSingleEntry();
    dialogs.group.push_back([](GroupEntryForm& f) {
        f.setMemberText(QStringLiteral("10.0.0.1\r\n10.0.0.2 (b)"));
        f.test();
    });
    editor.AddGroupEntry();
    dialogs.range.push_back([](RangeEntryForm& f) {
        SetRange(f, QStringLiteral("10.0.0.1"), QStringLiteral("10.0.0.9"));
        f.test();
    });
    editor.AddRangeEntry();
    dialogs.single.push_back([](SingleEntryForm& f) { f.exit(); });
    editor.AddSingleEntry();

    EXPECT_EQ(runs, (QList<EntryKind>{EntryKind::Single, EntryKind::Group, EntryKind::Range}));
    EXPECT_EQ(manual.single, QStringLiteral("10.0.0.7"));
    EXPECT_EQ(manual.group, QStringLiteral("BManual,10.0.0.1,10.0.0.2 (b)"));
    EXPECT_EQ(manual.range, QStringLiteral("CIP_Range_Manual,10.0.0.1,10.0.0.9"));
    EXPECT_EQ(fileBytes(), before);
    EXPECT_EQ(dialogs.shown.size(), 4);
}

TEST_F(EntryEditorTest, GroupWithTheSampleTextIsShownAgain) {
    load({"Aa,10.0.0.1"});
    dialogs.group.push_back([](GroupEntryForm& f) { f.add(); });
    dialogs.group.push_back([](GroupEntryForm& f) { f.exit(); });
    editor.AddGroupEntry();
    EXPECT_EQ(dialogs.shown.size(), 2);
    EXPECT_EQ(list.IPEntryCount(), 1);
}

TEST_F(EntryEditorTest, EditingAGroupToAnotherTitleChangesNothing) {
    load({"Bg1,10.0.0.1", "Bg2,10.0.0.2", "Aa,10.0.0.3"});
    const QByteArray before = fileBytes();
    const QStringList entries = list.IPEntries();
    dialogs.group.push_back([](GroupEntryForm& f) {
        EXPECT_EQ(f.title(), QStringLiteral("g1"));
        EXPECT_EQ(f.addButtonCaption(), QStringLiteral("保存"));
        f.setTitle(QStringLiteral("G2"));
        f.setMemberText(QStringLiteral("10.0.0.7"));
        f.add();
    });
    dialogs.group.push_back([](GroupEntryForm& f) {
        EXPECT_EQ(f.title(), QStringLiteral("G2"));  // the group dialog keeps what was typed
        EXPECT_EQ(f.memberText(), QStringLiteral("10.0.0.7"));
        f.exit();
    });
    editor.EditEntry(list.indexOf(QStringLiteral("Bg1,10.0.0.1")));

    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("编辑 IP 组"));
    EXPECT_EQ(statuses(), (QStringList{QString(), "相同的标题G2' 已存在。"}));
    EXPECT_EQ(fileBytes(), before);
    EXPECT_EQ(list.IPEntries(), entries);
    EXPECT_TRUE(current.isEmpty());
}

TEST_F(EntryEditorTest, EditingReplacesTheLineAndSelectsIt) {
    load({"Aa,10.0.0.1", "Ab,10.0.0.2", "Cr,10.0.0.1,10.0.0.5"});
    dialogs.range.push_back([](RangeEntryForm& f) {
        EXPECT_EQ(f.caption(), QStringLiteral("编辑 ip 地址范围"));
        EXPECT_EQ(f.endOctet(3), QStringLiteral("5"));
        f.setTitle(QStringLiteral("R"));  // its own title in other case is no duplicate
        f.setEndOctet(3, QStringLiteral("6"));
        f.add();
    });
    editor.EditEntry(2);
    dialogs.single.push_back([](SingleEntryForm& f) {
        f.setTitle(QStringLiteral("z"));
        f.add();
    });
    editor.EditEntry(0);

    EXPECT_EQ(list.IPEntries(),
              (QStringList{"Ab,10.0.0.2", "Az,10.0.0.1", "CR,10.0.0.1,10.0.0.6"}));
    EXPECT_EQ(current, (QList<int>{2, 1}));
    EXPECT_EQ(dialogs.shown.size(), 2);  // a saved edit ends the loop
}

TEST_F(EntryEditorTest, EditedSingleEntryMayNotTakeAnotherTitle) {
    load({"Aa,10.0.0.1", "Ab,10.0.0.2"});
    dialogs.single.push_back([](SingleEntryForm& f) {
        f.setTitle(QStringLiteral("B"));
        f.add();
    });
    dialogs.single.push_back([](SingleEntryForm& f) {
        EXPECT_EQ(f.title(), QStringLiteral("a"));  // the stored entry again
        SetOctets(f, QStringLiteral("10.0.0.9"));
        f.add();
    });
    editor.EditEntry(0);
    EXPECT_EQ(statuses(), (QStringList{QString(), "相同的 ip/url 'B,10.0.0.1' 已存在。"}));
    EXPECT_EQ(list.IPEntries(), (QStringList{"Aa,10.0.0.9", "Ab,10.0.0.2"}));
    EXPECT_EQ(current, QList<int>{0});

    editor.EditEntry(-1);
    editor.EditEntry(2);
    EXPECT_EQ(dialogs.shown.size(), 2);
}

TEST_F(EntryEditorTest, DeletingTwelveEntriesAsksWithNineTitles) {
    QStringList lines;
    for (int i = 1; i <= 20; ++i)
        lines << QStringLiteral("Ae%1,10.0.0.%2").arg(i, 2, 10, QLatin1Char('0')).arg(i);
    load(lines);
    prompts.answer = true;
    ListSelection selection;
    for (int i = 11; i >= 0; --i)
        selection.selected << i;
    editor.DeleteEntries(selection);

    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text,
              QStringLiteral("确实要删除12入围项目吗？\r\n\r\n    e01\r\n    e02\r\n    e03\r\n"
                             "    e04\r\n    e05\r\n    e06\r\n    e07\r\n    e08\r\n    e09\r\n"
                             "    ......"));
    EXPECT_EQ(prompts.shown[0].title, QStringLiteral("删除 IP"));
    EXPECT_EQ(prompts.shown[0].icon, MessageIcon::Information);
    EXPECT_TRUE(prompts.shown[0].question);
    EXPECT_EQ(list.IPEntries(), lines.mid(12));
    EXPECT_EQ(current, QList<int>{7});  // position 11 is gone: the last item
}

TEST_F(EntryEditorTest, DeletingKeepsTheRememberedPositionCurrent) {
    load({"Aa,10.0.0.1", "Ab,10.0.0.2", "Ac,10.0.0.3", "Ad,10.0.0.4", "Ae,10.0.0.5"});
    prompts.answer = false;
    editor.DeleteEntries({0, {4, 2}});
    EXPECT_EQ(prompts.shown[0].text,
              QStringLiteral("确实要删除2入围项目吗？\r\n\r\n    c\r\n    e"));
    EXPECT_EQ(list.IPEntryCount(), 5);
    EXPECT_EQ(current, QList<int>{4});

    prompts.clear();
    prompts.answer = true;
    editor.DeleteEntries({1, {}});  // nothing selected: the current item
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, QStringLiteral("是否确实要删除项目b'?"));
    EXPECT_EQ(list.IPEntries(),
              (QStringList{"Aa,10.0.0.1", "Ac,10.0.0.3", "Ad,10.0.0.4", "Ae,10.0.0.5"}));
    EXPECT_EQ(current, (QList<int>{4, 1}));

    prompts.clear();
    editor.DeleteEntries({-1, {}});
    editor.DeleteEntries({9, {}});
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(EntryEditorTest, ScanOfTheLocalSubnetOpensTheRangeDialogFilledIn) {
    load({"Aa,10.0.0.1"});
    network.local = QStringLiteral("10.1.2.3");
    dialogs.range.push_back([](RangeEntryForm& f) {
        EXPECT_EQ(f.title(), QStringLiteral("IP_范围_"));
        EXPECT_EQ(f.startOctet(2), QStringLiteral("2"));
        EXPECT_EQ(f.startOctet(3), QStringLiteral("0"));
        EXPECT_EQ(f.endOctet(3), QStringLiteral("255"));
        f.setTitle(QStringLiteral("lan"));
        f.add();
    });
    editor.ScanLocalSubnet(network);
    EXPECT_TRUE(list.IPEntries().contains(QStringLiteral("Clan,10.1.2.0,10.1.2.255")));

    network.local.clear();
    dialogs.shown.clear();
    editor.ScanLocalSubnet(network);
    EXPECT_TRUE(dialogs.shown.isEmpty());
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].text, QStringLiteral("找不到本地网络。"));
    EXPECT_EQ(prompts.shown[0].icon, MessageIcon::Information);
}

TEST_F(EntryEditorTest, AFailedWriteEndsTheOperationWithItsLabel) {
    load({"Aa,10.0.0.1", "Ab,10.0.0.2"});
    ASSERT_TRUE(QDir(dir.filePath(QStringLiteral("data"))).removeRecursively());
    dialogs.single.push_back([](SingleEntryForm& f) {
        SetOctets(f, QStringLiteral("10.0.0.3"));
        f.add();
    });
    dialogs.single.push_back([](SingleEntryForm& f) { f.exit(); });
    editor.AddSingleEntry();
    EXPECT_EQ(dialogs.shown.size(), 1);
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_TRUE(prompts.shown[0].text.endsWith(QStringLiteral("    添加单一 IP")));
    EXPECT_EQ(prompts.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(list.IPEntryCount(), 2);

    prompts.clear();
    dialogs.range.push_back([](RangeEntryForm& f) {
        SetRange(f, QStringLiteral("10.0.0.1"), QStringLiteral("10.0.0.2"));
        f.add();
    });
    editor.AddRangeEntry();
    EXPECT_TRUE(prompts.shown[0].text.endsWith(QStringLiteral("    添加_IP_范围")));

    prompts.clear();
    dialogs.single.clear();
    dialogs.single.push_back([](SingleEntryForm& f) { f.add(); });
    editor.EditEntry(0);
    EXPECT_TRUE(prompts.shown[0].text.endsWith(QStringLiteral("编辑 IP 项目")));

    prompts.clear();
    prompts.answer = true;
    editor.DeleteEntries({0, {}});
    ASSERT_EQ(prompts.shown.size(), 2);
    EXPECT_EQ(prompts.shown[1].icon, MessageIcon::Critical);
    EXPECT_FALSE(prompts.shown[1].text.isEmpty());
    EXPECT_EQ(list.IPEntryCount(), 2);
    EXPECT_TRUE(current.isEmpty());
}

// Random entries through the whole flow: every entry reported as added is in the list under
// its title, and the current item points at it.
TEST_F(EntryEditorTest, EveryAcceptedEntryIsFoundAfterTheReload) {
    load({});
    const QString pieces[] = {"1", "10", ".", ",", "(",   ")", " ", "\r\n", "\n",
                              "a", "中", "=", "0", "www", "-", "B", "255"};
    QRandomGenerator random(11);
    auto text = [&] {
        QString t;
        for (int i = random.bounded(7); i > 0; --i)
            t += pieces[random.bounded(int(std::size(pieces)))];
        return t;
    };
    for (int round = 0; round < 150; ++round) {
        current.clear();
        dialogs.shown.clear();
        const QString title = text();
        const QString first = text() + text();
        const QString second = text();
        switch (round % 3) {
            case 0:
                dialogs.single.push_back([&](SingleEntryForm& f) {
                    f.setTitle(title);
                    f.setOption(SingleEntryForm::AddressOption::Host);
                    f.setHostText(first);
                    f.add();
                });
                editor.AddSingleEntry();
                break;
            case 1:
                dialogs.group.push_back([&](GroupEntryForm& f) {
                    f.setTitle(title);
                    f.setMemberText(first);
                    f.add();
                });
                editor.AddGroupEntry();
                break;
            default:
                dialogs.range.push_back([&](RangeEntryForm& f) {
                    f.setTitle(title);
                    for (int i = 0; i < 4; ++i) {
                        f.setStartOctet(i, first.mid(i, 2));
                        f.setEndOctet(i, second.mid(i, 2));
                    }
                    f.add();
                });
                editor.AddRangeEntry();
        }
        const QString status = dialogs.shown.size() > 1 ? dialogs.shown[1].status : QString();
        if (status.endsWith(QStringLiteral("' 已添加到列表中."))) {
            ASSERT_EQ(current.size(), 1) << status.toStdString();
            ASSERT_GE(current[0], 0) << status.toStdString();
            ASSERT_LT(current[0], list.IPEntryCount());
        } else {
            ASSERT_TRUE(current.isEmpty());
        }
    }
    EXPECT_GT(list.IPEntryCount(), 10);
    for (const QString& title : list.titles())
        EXPECT_EQ(list.titles().count(title), 1) << title.toStdString();
}

TEST(SelectionTest, SummaryCountsTheSelectedEntries) {
    const SelectionSummary three = UpdateSelectionSummary(3, QStringLiteral("web"));
    EXPECT_EQ(three.textPing, QStringLiteral("己选定3项目"));
    EXPECT_TRUE(three.checkReset);
    const SelectionSummary none = UpdateSelectionSummary(0, QStringLiteral("web"));
    EXPECT_EQ(none.textPing, QStringLiteral("web"));
    EXPECT_FALSE(none.checkReset);
}

TEST(SelectionTest, DetailsOfGroupsAndRanges) {
    EXPECT_FALSE(ShowEntryDetails(QStringLiteral("Aweb,10.0.0.1")).shown);
    EXPECT_FALSE(ShowEntryDetails(QString()).shown);

    const EntryDetails group =
        ShowEntryDetails(QStringLiteral("Boffice,10.0.0.1 (printer),www.debian.org"));
    EXPECT_TRUE(group.shown);
    EXPECT_EQ(group.kind, EntryKind::Group);
    EXPECT_EQ(group.kindCaption, QStringLiteral("当前选定 IP 组："));
    EXPECT_EQ(group.title, QStringLiteral("office"));
    EXPECT_EQ(group.members, (QStringList{"10.0.0.1 (printer)", "www.debian.org"}));
    EXPECT_EQ(group.heightTwips, 3 * 190 + 1200);
    EXPECT_EQ(ShowEntryDetails(QStringLiteral("Bbig") + QString(40, QLatin1Char(','))).heightTwips,
              5405);

    const EntryDetails range = ShowEntryDetails(QStringLiteral("Cnet,10.0.0.1,10.0.0.9"));
    EXPECT_EQ(range.kindCaption, QStringLiteral("当前选定 IP 范围："));
    EXPECT_EQ(range.members, (QStringList{QString(), "10.0.0.1  -  10.0.0.9"}));
    EXPECT_EQ(range.heightTwips, 1700);

    EXPECT_EQ(PickedMemberTarget(group, QStringLiteral("10.0.0.1 (printer)"), false),
              QStringLiteral("10.0.0.1"));
    EXPECT_EQ(PickedMemberTarget(group, QStringLiteral("10.0.0.1 (printer)"), true), QString());
    EXPECT_EQ(PickedMemberTarget(group, QString(), false), QString());
    EXPECT_EQ(PickedMemberTarget(range, QStringLiteral("10.0.0.1  -  10.0.0.9"), false), QString());
}

}  // namespace
}  // namespace sondrel
