#include "engine/test_parameters.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <random>

#include "common/leading_number.h"
#include "engine/parameter_lists.h"
#include "support/recording_prompts.h"

namespace sondrel {
namespace {

using testing::RecordingPrompts;

// Dialogs driven by the test: each run calls the scripted function (default: cancel).
class ScriptedDialogs final : public ParameterDialogs {
  public:
    bool runIntervalDialog(IntervalDialogValues& values) override {
        ++intervalRuns;
        return interval ? interval(values) : false;
    }
    bool runSizeDialog(SizeDialogModel& model) override {
        ++sizeRuns;
        return size ? size(model) : false;
    }
    std::function<bool(IntervalDialogValues&)> interval;
    std::function<bool(SizeDialogModel&)> size;
    int intervalRuns = 0;
    int sizeRuns = 0;
};

class TestParametersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        QObject::connect(&params, &TestParameters::textChanged,
                         [this](ParameterBox box, const QString& text) {
                             changes.append({box, text});
                         });
        params.FillParameterLists();
        prompts.clear();
        changes.clear();
    }
    QString text(ParameterBox box) const { return params.text(box); }
    const RunParameters& run() const { return params.run(); }

    RecordingPrompts prompts;
    ScriptedDialogs dialogs;
    TestParameters params{prompts, dialogs};
    QList<QPair<ParameterBox, QString>> changes;
};

const QString SizeMessage = QStringLiteral(" - Inalid 发送缓冲大小.       ");

TEST(ParameterLists, HaveTheirItemsInOrder) {
    const QStringList interval = IntervalItems();
    ASSERT_EQ(interval.size(), 79);
    EXPECT_EQ(interval[0], QStringLiteral("10 毫秒"));
    EXPECT_EQ(interval[14], QStringLiteral("600 毫秒"));
    EXPECT_EQ(interval[18], QStringLiteral("1000 毫秒"));
    EXPECT_EQ(interval[77], QStringLiteral("60000 毫秒"));
    EXPECT_EQ(interval[78], QStringLiteral("高级"));
    const QStringList timeOut = TimeOutItems();
    ASSERT_EQ(timeOut.size(), 27);
    EXPECT_EQ(timeOut[26], QStringLiteral("9000 毫秒"));
    const QStringList size = SizeItems();
    ASSERT_EQ(size.size(), 16);
    EXPECT_EQ(size[2], QStringLiteral("32  字节"));
    EXPECT_EQ(size[6], QStringLiteral("512   字节"));
    EXPECT_EQ(size[12], QStringLiteral("32000  字节"));
    EXPECT_EQ(size[13], QStringLiteral("16,32,64,1024 字节"));
    EXPECT_EQ(size[14], QStringLiteral("加强 32 个字节"));
    EXPECT_EQ(size[15], QStringLiteral("高级"));
    const QStringList times = TimesItems();
    ASSERT_EQ(times.size(), 19);
    EXPECT_EQ(times[0], QStringLiteral("Continually"));
    EXPECT_EQ(times[10], QStringLiteral("500"));
    EXPECT_EQ(times[18], QStringLiteral("100000"));
    const QStringList repeat = RepeatPerIPItems();
    ASSERT_EQ(repeat.size(), 100);
    EXPECT_EQ(repeat[99], QStringLiteral("100"));
}

TEST_F(TestParametersTest, FillingSelectsTheInitialItemsWithTimeOut500) {
    EXPECT_EQ(text(ParameterBox::Interval), QStringLiteral("600 毫秒"));
    EXPECT_EQ(text(ParameterBox::TimeOut), QStringLiteral("600 毫秒"));
    EXPECT_EQ(text(ParameterBox::Size), QStringLiteral("32  字节"));
    EXPECT_EQ(text(ParameterBox::Times), QStringLiteral("Continually"));
    EXPECT_EQ(text(ParameterBox::RepIP), QStringLiteral("1"));
    EXPECT_EQ(params.items(ParameterBox::Interval).size(), 79);
    EXPECT_EQ(run().timerInterval, 600);
    EXPECT_EQ(run().probeTimeout, 500);
    EXPECT_EQ(run().probeSize, 32);
    EXPECT_EQ(run().size.list, QList<qint32>{32});
    EXPECT_EQ(run().testTimes, 0);
    EXPECT_EQ(params.totalLabelText(), QString());
    EXPECT_EQ(dialogs.intervalRuns + dialogs.sizeRuns, 0);
    // The start applies the box as shown.
    EXPECT_TRUE(params.RunStartChecks());
    EXPECT_EQ(run().probeTimeout, 600);
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(TestParametersTest, IntervalDialogDefaultsGiveAFallingSequence) {
    dialogs.interval = [](IntervalDialogValues&) { return true; };
    params.CommandA_Click(0);
    const QString shown = QStringLiteral("1000 to 0, 10--, 1");
    EXPECT_EQ(text(ParameterBox::Interval), shown);
    ASSERT_EQ(changes.size(), 2);  // "高级", then the sequence, once
    EXPECT_EQ(changes[1], qMakePair(ParameterBox::Interval, shown));
    EXPECT_TRUE(params.ValidateInterval());
    EXPECT_EQ(run().interval.current, 1000);
    EXPECT_EQ(run().interval.step, -10);
    EXPECT_EQ(run().interval.to, 0);
    EXPECT_EQ(run().interval.repeat, 1);
    EXPECT_EQ(run().interval.mode, QStringLiteral("增量"));
    EXPECT_EQ(run().timerInterval, 1000);
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(TestParametersTest, IntervalDialogKeepsTextsAndCancelSelects600) {
    dialogs.interval = [](IntervalDialogValues& values) {
        values.from = "100";
        values.to = "1000";
        values.step = "50";
        values.repeat = "2";
        return true;
    };
    params.CommandA_Click(0);
    EXPECT_EQ(text(ParameterBox::Interval), QStringLiteral("100 to 1000, 50++, 2"));
    ASSERT_TRUE(params.ValidateInterval());
    EXPECT_EQ(run().interval.step, 50);
    EXPECT_EQ(run().interval.repeat, 2);

    dialogs.interval = [](IntervalDialogValues& values) {
        EXPECT_EQ(values.from, QStringLiteral("100"));  // kept from the last opening
        values.from = "7";
        return false;
    };
    params.setText(ParameterBox::Interval, QStringLiteral("高级"));
    EXPECT_EQ(text(ParameterBox::Interval), QStringLiteral("600 毫秒"));
    EXPECT_EQ(run().interval.current, 100);  // untouched by the cancelled dialog
    EXPECT_EQ(params.intervalDialog().from, QStringLiteral("7"));
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(TestParametersTest, UnusableIntervalTextsAreReportedAndReplaced) {
    for (const QString& typed : {QStringLiteral("0"), QStringLiteral("abc"), QStringLiteral("-5"),
                                 QStringLiteral("0.3"), QStringLiteral("0 to 100, 10++, 1")}) {
        prompts.clear();
        params.setText(ParameterBox::Interval, typed);
        EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("Inalid 测试时间间隔。")})
            << typed.toStdString();
        EXPECT_EQ(prompts.shown[0].icon, MessageIcon::Critical);
        EXPECT_EQ(text(ParameterBox::Interval), QStringLiteral("600 毫秒")) << typed.toStdString();
    }
    params.setText(ParameterBox::Interval, QStringLiteral("2000 毫秒"));
    EXPECT_TRUE(params.ValidateInterval());
    EXPECT_EQ(run().timerInterval, 2000);
    EXPECT_TRUE(run().interval.mode.isEmpty());
}

TEST_F(TestParametersTest, SteppedIntervalTextsAreChecked) {
    const QString message = QStringLiteral("Inalid 测试时间间隔。");
    for (const QString& typed :
         {QStringLiteral("1000 to 0, 10--"), QStringLiteral("1000 to 0, 10--, 1, 1"),
          QStringLiteral("5, 1 to 3, 1"), QStringLiteral("5x to 0, 10--, 1"),
          QStringLiteral("1000 to 0, 10--, x"), QStringLiteral("1000 to 0, 10--, 40000")}) {
        prompts.clear();
        params.setText(ParameterBox::Interval, typed);
        EXPECT_FALSE(params.ValidateInterval()) << typed.toStdString();
        EXPECT_EQ(prompts.texts(), QStringList{message}) << typed.toStdString();
        EXPECT_EQ(run().timerInterval, 600) << typed.toStdString();
    }
    // At most 99 characters after "to" are read: the 9 beyond them is never seen.
    prompts.clear();
    params.setText(ParameterBox::Interval,
                   QStringLiteral("50 TO 2") + QString(120, u' ') + QStringLiteral("9, 5, 3"));
    ASSERT_TRUE(params.ValidateInterval());
    EXPECT_EQ(run().interval.to, 2);
    EXPECT_EQ(run().interval.step, -5);
    EXPECT_EQ(run().interval.repeat, 3);
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(TestParametersTest, IntervalSequenceStartingBelowOneMsIsRefusedAtTheStart) {
    dialogs.interval = [](IntervalDialogValues& values) {
        values.from = "0";
        return true;
    };
    params.CommandA_Click(0);
    EXPECT_EQ(text(ParameterBox::Interval), QStringLiteral("0 to 0, 10--, 1"));
    EXPECT_FALSE(params.RunStartChecks());
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("Inalid 测试时间间隔。")});
    EXPECT_EQ(run().timerInterval, 600);
}

TEST_F(TestParametersTest, SingleTypedSizes) {
    params.setText(ParameterBox::Size, QStringLiteral("100"));
    EXPECT_TRUE(params.ValidateSize());
    EXPECT_EQ(run().probeSize, 100);
    EXPECT_TRUE(run().size.mode.isEmpty());
    EXPECT_TRUE(prompts.shown.isEmpty());

    params.setText(ParameterBox::Size, QStringLiteral("64 /2"));
    EXPECT_TRUE(params.ValidateSize());
    EXPECT_EQ(run().probeSize, 64);

    for (const QString& typed : {QStringLiteral("0"), QStringLiteral("abc"),
                                 QStringLiteral("32001"), QStringLiteral("-5")}) {
        prompts.clear();
        params.setText(ParameterBox::Size, typed);
        EXPECT_TRUE(params.ValidateSize()) << typed.toStdString();
        EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("Inalid 缓冲大小值。")})
            << typed.toStdString();
        EXPECT_EQ(run().probeSize, 32) << typed.toStdString();
    }
}

TEST_F(TestParametersTest, TypedSizeLists) {
    params.setText(ParameterBox::Size, QStringLiteral("64,128 /2"));
    ASSERT_TRUE(params.ValidateSize());
    EXPECT_EQ(run().size.list, (QList<qint32>{64, 128}));
    EXPECT_EQ(run().size.repeat, 2);
    EXPECT_EQ(run().size.count, 2);
    EXPECT_EQ(run().size.summary, QStringLiteral("64,128 /2"));
    EXPECT_EQ(run().size.mode, QStringLiteral("多个"));

    const QList<QPair<QString, QString>> refused = {
        {",/2", "Inalid 发送缓冲大小。"},
        {"6a,4 /2", "Inalid 发送缓冲大小、 无效字符 'a.  "},
        {"64,128 /0", "“每个值重复时间”的值无效，最小值是1"},
        {"64,,128 /2", "在值 0 值无效。"},
        {"64,40000 /2", "无效值 '40000' '值' 中的最大值是 32000。"},
        {"64,128 /x", "类型不匹配" + SizeMessage},
    };
    for (const auto& [typed, message] : refused) {
        prompts.clear();
        params.setText(ParameterBox::Size, typed);
        EXPECT_FALSE(params.ValidateSize()) << typed.toStdString();
        EXPECT_EQ(prompts.texts(), QStringList{message}) << typed.toStdString();
    }
}

TEST_F(TestParametersTest, FixedSizeItems) {
    params.selectIndex(ParameterBox::Size, 13);
    EXPECT_EQ(text(ParameterBox::Times), QStringLiteral("Continually"));
    ASSERT_TRUE(params.ValidateSize());
    EXPECT_EQ(run().size.list, (QList<qint32>{16, 32, 64, 1024}));
    EXPECT_EQ(run().size.repeat, 4);
    EXPECT_EQ(run().size.count, 4);
    EXPECT_EQ(run().size.mode, QStringLiteral("多个"));

    params.selectIndex(ParameterBox::Size, 14);
    EXPECT_EQ(text(ParameterBox::Times), QStringLiteral("1000"));
    EXPECT_EQ(run().testTimes, 1000);
    ASSERT_TRUE(params.ValidateSize());
    EXPECT_EQ(run().size.from, 32);
    EXPECT_EQ(run().size.step, 32);
    EXPECT_EQ(run().size.count, 1000);
    EXPECT_EQ(run().size.mode, QStringLiteral("增量"));
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(TestParametersTest, SteppedSizeTextsStayWithinTheSizeLimits) {
    params.setText(ParameterBox::Size, QStringLiteral("32 to 32000, 32++, 1"));
    ASSERT_TRUE(params.ValidateSize());
    EXPECT_EQ(run().size.count, 1000);
    EXPECT_EQ(run().size.mode, QStringLiteral("增量"));

    const QList<QPair<QString, QString>> refused = {
        {"32 to 100, 10", SizeMessage},
        {"0 to 100, 10++, 1", SizeMessage},
        {"32 to 40000, 32++, 1", SizeMessage},
        {"32000 to 32, 32++, 1", SizeMessage},
        {"31000 to 32000, 1.4, 1", SizeMessage},
        {"32 to 100, 0, 1", "除数为零" + SizeMessage},
        {"x to 100, 1, 1", "类型不匹配" + SizeMessage},
        {"32 to 100, 1, 0", "“每个值重复时间”的值无效，最小值是1"},
    };
    for (const auto& [typed, message] : refused) {
        prompts.clear();
        params.setText(ParameterBox::Size, typed);
        EXPECT_FALSE(params.ValidateSize()) << typed.toStdString();
        EXPECT_EQ(prompts.texts(), QStringList{message}) << typed.toStdString();
        EXPECT_EQ(run().size.list, QList<qint32>{32});
        EXPECT_EQ(run().size.count, 1);
        EXPECT_TRUE(run().size.mode.isEmpty());
    }
    // A falling sequence that stays in range is fine.
    params.setText(ParameterBox::Size, QStringLiteral("1000 to 40, -32, 2"));
    ASSERT_TRUE(params.ValidateSize());
    EXPECT_EQ(run().size.count, 31);
}

TEST_F(TestParametersTest, SizeDialogOptionsFillTheBoxes) {
    dialogs.size = [](SizeDialogModel& model) { return model.accept(); };
    params.CommandA_Click(1);
    EXPECT_EQ(text(ParameterBox::Size), QStringLiteral("32 to 32000, 32++, 1"));
    EXPECT_EQ(text(ParameterBox::Times), QStringLiteral("1000"));
    EXPECT_EQ(run().testTimes, 1000);
    EXPECT_EQ(run().size.count, 1000);

    dialogs.size = [](SizeDialogModel& model) {
        model.option = SizeDialogModel::Option::Multiple;
        model.textMV = " ,16, 32,64,128,1024,";
        return model.accept();
    };
    params.CommandA_Click(1);
    EXPECT_EQ(text(ParameterBox::Size), QStringLiteral("16,32,64,128,1024 /4"));
    EXPECT_EQ(text(ParameterBox::Times), QStringLiteral("Continually"));
    EXPECT_EQ(run().size.list, (QList<qint32>{16, 32, 64, 128, 1024}));
    ASSERT_TRUE(params.ValidateSize());  // the shown summary reads back as the same list
    EXPECT_EQ(run().size.repeat, 4);
    EXPECT_TRUE(prompts.shown.isEmpty());

    dialogs.size = nullptr;  // cancel
    params.CommandA_Click(1);
    EXPECT_EQ(text(ParameterBox::Size), QStringLiteral("32  字节"));
    EXPECT_EQ(run().size.list, QList<qint32>{32});
    EXPECT_TRUE(run().size.mode.isEmpty());
}

TEST_F(TestParametersTest, SizeDialogChecksInOrderThenCancel) {
    using Edit = std::function<void(SizeDialogModel&)>;
    const QList<QPair<Edit, QString>> steps = {
        {[](auto& m) { m.textIFrom = "0"; }, "从发送缓冲大小值无效。"},
        {[](auto& m) { m.textIFrom = "40000"; }, "'从发送缓冲大小，' 无效值的最大大小是 32000。"},
        {[](auto& m) { m.textIFrom = "32", m.textITo = ""; }, "发送缓冲大小值无效。"},
        {[](auto& m) { m.textITo = "32001"; }, "发送到缓冲大小，值无效的最大大小是 32000。"},
        {[](auto& m) { m.textITo = "32"; }, "发送缓冲区大小值无效。"},
        {[](auto& m) { m.textITo = "100", m.textIIncre = "0"; }, "'增量值无效。"},
        {[](auto& m) { m.textIIncre = "69"; }, "无效值的增量值，最大大小是68.   "},
        {[](auto& m) { m.textIIncre = "10", m.textIRe = "0"; },
         "“每个值重复时间”的值无效，最小值是1"},
        {[](auto& m) { m.textIRe = ""; }, "类型不匹配    CommandAddIP_Click"},
        {[](auto& m) { m.option = SizeDialogModel::Option::Multiple, m.textMV = " , "; },
         "请输入 '值'。"},
        {[](auto& m) { m.textMV = "1;2"; }, "无效字符 ';' in the 'Values'.  "},
        {[](auto& m) { m.textMV = "1,2", m.textMRe = "0"; }, "“每个值重复时间”的值无效，最小值是1"},
        {[](auto& m) { m.textMRe = "99999"; }, "溢出    CommandAddIP_Click"},
        {[](auto& m) { m.textMRe = "2", m.textMV = "1,,2"; }, "在值 0 值无效。"},
        {[](auto& m) { m.textMV = "1,32001"; }, "无效值 '32001' '值' 中的最大值是 32000。"},
    };
    dialogs.size = [&](SizeDialogModel& model) {
        for (const auto& [edit, message] : steps) {
            prompts.clear();
            edit(model);
            EXPECT_FALSE(model.accept()) << message.toStdString();
            EXPECT_EQ(prompts.texts(), QStringList{message});
            EXPECT_EQ(run().size.count, 0);  // nothing accepted
        }
        EXPECT_EQ(prompts.shown.last().icon, MessageIcon::Critical);
        return false;
    };
    params.CommandA_Click(1);
    EXPECT_EQ(text(ParameterBox::Size), QStringLiteral("32  字节"));
    EXPECT_EQ(run().size.count, 1);
    EXPECT_TRUE(run().size.mode.isEmpty());
}

TEST_F(TestParametersTest, TimeOutTimesAndRepeat) {
    params.setText(ParameterBox::TimeOut, QStringLiteral("abc"));
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("Inalid 超时值。")});
    EXPECT_EQ(run().probeTimeout, 500);
    params.setText(ParameterBox::TimeOut, QStringLiteral("1500"));
    EXPECT_EQ(run().probeTimeout, 1500);
    prompts.clear();
    params.setText(ParameterBox::TimeOut, QStringLiteral("-100"));
    EXPECT_FALSE(params.ValidateTimeOut());
    EXPECT_EQ(run().probeTimeout, 500);

    prompts.clear();
    params.setText(ParameterBox::Times, QStringLiteral(" Continually "));
    EXPECT_TRUE(params.ValidateTimes());
    EXPECT_EQ(run().testTimes, 0);
    for (const QString& typed : {QStringLiteral("abc"), QStringLiteral("-3")}) {
        params.setText(ParameterBox::Times, typed);
        EXPECT_FALSE(params.ValidateTimes());
        EXPECT_EQ(run().testTimes, 0);
    }
    EXPECT_EQ(prompts.texts(), QStringList(4, QStringLiteral("Inalid 试验次数。")));

    prompts.clear();
    params.setText(ParameterBox::RepIP, QStringLiteral("-2"));
    EXPECT_FALSE(params.ValidateRepeatPerIP());
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("Inalid 每个 IP 重复值。")});
    params.setText(ParameterBox::RepIP, QStringLiteral("3"));
    EXPECT_TRUE(params.ValidateRepeatPerIP());
    EXPECT_EQ(run().repeatPerIP, 3);
}

TEST_F(TestParametersTest, TotalLabelMultipliesRepeatAndTimes) {
    QStringList labels;
    QObject::connect(&params, &TestParameters::totalLabelChanged,
                     [&](const QString& label) { labels << label; });
    params.setText(ParameterBox::RepIP, QStringLiteral("3"));
    EXPECT_EQ(params.totalLabelText(), QString());  // times still "Continually"
    params.setText(ParameterBox::Times, QStringLiteral("4"));
    EXPECT_EQ(params.totalLabelText(), QStringLiteral("总数：12"));
    params.selectIndex(ParameterBox::Times, 0);
    EXPECT_EQ(labels, (QStringList{QStringLiteral("总数：12"), QString()}));
}

TEST_F(TestParametersTest, StartChecksStopAtTheFirstFailure) {
    params.setText(ParameterBox::Size, QStringLiteral("64,0 /2"));
    params.setText(ParameterBox::TimeOut, QStringLiteral("2000"));
    params.run().probeTimeout = 777;
    EXPECT_FALSE(params.RunStartChecks());
    EXPECT_EQ(run().probeTimeout, 777);  // the time-out check did not run
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("在值 0 值无效。")});
}

TEST_F(TestParametersTest, ChangeHandlingIsNotReentered) {
    dialogs.interval = [&](IntervalDialogValues&) {
        params.setText(ParameterBox::Interval, QStringLiteral("高级"));
        return false;
    };
    dialogs.size = [&](SizeDialogModel&) {
        params.setText(ParameterBox::Size, QStringLiteral("高级"));
        return false;
    };
    params.CommandA_Click(0);
    params.CommandA_Click(1);
    EXPECT_EQ(dialogs.intervalRuns, 1);
    EXPECT_EQ(dialogs.sizeRuns, 1);
    EXPECT_EQ(text(ParameterBox::Interval), QStringLiteral("600 毫秒"));
    EXPECT_EQ(text(ParameterBox::Size), QStringLiteral("32  字节"));
}

// Garbage of every kind into every box, dialog and check: nothing may crash, and whatever is
// accepted must leave the run with sizes of 1..32000 bytes and timer and time-out of >= 1 ms.
class GarbageTexts {
  public:
    explicit GarbageTexts(quint32 seed) : random_(seed) {}
    // Half plausible forms with edge numbers, half noise.
    QString next() { return pick(2) ? plausible() : noise(); }
    QString number() {
        static const QStringList numbers = {"0",    "1",     "2",     "32",    "100",
                                            "1000", "31999", "32000", "32001", "-5",
                                            "0.4",  "2.5",   "40000", "",      QString(30, u'9')};
        return numbers[pick(numbers.size())];
    }
    int pick(qsizetype below) { return int(random_() % quint32(below)); }

  private:
    QString plausible() {
        switch (pick(4)) {
            case 0:
                return number();
            case 1:
                return number() + " to " + number() + ", " + number() + "++, " + number();
            case 2:
                return number() + "," + number() + "," + number() + " /" + number();
            default:
                return number() + noise();
        }
    }
    QString noise() {
        static const QStringList pieces =
            QStringLiteral(
                "0|1|-|.|,|/| |to|TO|e5|++|x|毫秒|😀|\t|高级|16,32,64,1024 字节|"
                "加强 32 个字节|Continually")
                .split(u'|')
            << QString(120, u' ') << QString(1, QChar(0));
        QString text;
        const int count = pick(6);
        for (int i = 0; i < count; ++i)
            text += pieces[pick(pieces.size())];
        return text;
    }

    std::mt19937 random_;
};

void ExpectSaneRun(const RunParameters& run, const QString& context) {
    const std::string where = context.toStdString();
    EXPECT_GE(run.timerInterval, 1) << where;
    EXPECT_GE(run.probeTimeout, 1) << where;
    EXPECT_TRUE(run.probeSize >= 1 && run.probeSize <= 32000) << where;
    ASSERT_FALSE(run.size.list.isEmpty()) << where;
    for (qint32 size : run.size.list)
        EXPECT_TRUE(size >= 1 && size <= 32000) << where;
    EXPECT_GE(run.size.count, 1) << where;
    if (run.size.mode == QStringLiteral("多个")) {
        EXPECT_EQ(run.size.count, run.size.list.size()) << where;
    }
    if (run.size.mode == QStringLiteral("增量")) {
        for (int i : {0, run.size.count - 1}) {
            const qint32 size = WholeNumber(run.size.from + run.size.step * i);
            EXPECT_TRUE(size >= 1 && size <= 32000) << where << " step " << i;
        }
    }
}

TEST(TestParametersRobustness, GarbageNeverCrashesOrLeavesBadSizes) {
    RecordingPrompts prompts;
    ScriptedDialogs dialogs;
    TestParameters params(prompts, dialogs);
    GarbageTexts garbage(20240611);
    dialogs.interval = [&](IntervalDialogValues& values) {
        values = {garbage.number(), garbage.number(), garbage.number(), garbage.number()};
        return garbage.pick(2) == 0;
    };
    dialogs.size = [&](SizeDialogModel& model) {
        for (int attempt = 0; attempt < 5; ++attempt) {
            model.option = SizeDialogModel::Option(garbage.pick(2));
            model.textIFrom = garbage.number();
            model.textITo = garbage.number();
            model.textIIncre = garbage.number();
            model.textIRe = garbage.number();
            model.textMV = garbage.next();
            model.textMRe = garbage.number();
            if (model.accept())
                return true;
        }
        return false;
    };
    params.FillParameterLists();
    const std::array boxes = {ParameterBox::Interval, ParameterBox::Size, ParameterBox::TimeOut,
                              ParameterBox::Times, ParameterBox::RepIP};
    for (int round = 0; round < 5000; ++round) {
        const ParameterBox box = boxes[garbage.pick(5)];
        const QString typed = garbage.pick(5) == 0 ? QStringLiteral("高级") : garbage.next();
        params.setText(box, typed);
        const bool checked = params.RunStartChecks();
        ExpectSaneRun(params.run(), typed);
        if (checked) {
            EXPECT_GE(params.run().repeatPerIP, 1);
            EXPECT_GE(params.run().testTimes, 0);
        }
        for (const auto& shown : prompts.shown)
            EXPECT_FALSE(shown.text.isEmpty());
        prompts.clear();
        if (::testing::Test::HasFailure())
            break;
    }
}

TEST(SizeDialogKeys, DigitsBackspaceAndCommaWhereAllowed) {
    EXPECT_TRUE(SizeDialogModel::acceptsKey(u'7', false));
    EXPECT_TRUE(SizeDialogModel::acceptsKey(QChar(8), false));
    EXPECT_FALSE(SizeDialogModel::acceptsKey(u',', false));
    EXPECT_TRUE(SizeDialogModel::acceptsKey(u',', true));
    EXPECT_FALSE(SizeDialogModel::acceptsKey(u'-', true));
    EXPECT_FALSE(SizeDialogModel::acceptsKey(QChar(0x0663), true));  // Arabic-Indic three
    EXPECT_EQ(IntervalDirectionLabel(QStringLiteral("1000"), QStringLiteral("0")),
              QStringLiteral("降低"));
    EXPECT_EQ(IntervalDirectionLabel(QStringLiteral("10"), QStringLiteral("10")),
              QStringLiteral("加强"));
}

}  // namespace
}  // namespace sondrel
