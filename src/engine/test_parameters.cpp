#include "engine/test_parameters.h"

#include <QScopedValueRollback>

#include "common/leading_number.h"
#include "engine/parameter_lists.h"

namespace sondrel {

namespace {

const QString BadInterval = QStringLiteral("Inalid 测试时间间隔。");
const QString BadTimeOut = QStringLiteral("Inalid 超时值。");
const QString BadTimes = QStringLiteral("Inalid 试验次数。");
const QString BadRepeatPerIP = QStringLiteral("Inalid 每个 IP 重复值。");

constexpr int DefaultTimeOut = 500;

int Index(ParameterBox box) {
    return int(box);
}

// A count, time-out or interval typed into a box: usable when it rounds to at least 1.
// Zero, negative and fractions below one half are not.
std::optional<qint32> PositiveWholeNumber(const QString& text) {
    const qint32 value = WholeNumber(LeadingNumber(text));
    if (value < 1)
        return std::nullopt;
    return value;
}

}  // namespace

QString IntervalDirectionLabel(const QString& from, const QString& to) {
    return LeadingNumber(to) < LeadingNumber(from) ? QStringLiteral("降低")
                                                   : QStringLiteral("加强");
}

TestParameters::TestParameters(UserPrompts& prompts, ParameterDialogs& dialogs, QObject* parent)
    : QObject(parent), prompts_(prompts), dialogs_(dialogs) {}

void TestParameters::FillParameterLists() {
    items_[Index(ParameterBox::Interval)] = IntervalItems();
    items_[Index(ParameterBox::Size)] = SizeItems();
    items_[Index(ParameterBox::TimeOut)] = TimeOutItems();
    items_[Index(ParameterBox::Times)] = TimesItems();
    items_[Index(ParameterBox::RepIP)] = RepeatPerIPItems();
    emit listsFilled();

    run_ = RunParameters{};
    selectIndex(ParameterBox::Interval, InitialIntervalIndex);
    selectIndex(ParameterBox::TimeOut, InitialTimeOutIndex);
    selectIndex(ParameterBox::Size, InitialSizeIndex);
    selectIndex(ParameterBox::Times, InitialTimesIndex);
    selectIndex(ParameterBox::RepIP, InitialRepeatIndex);
    // The box shows 600 ms, but the time-out starts at 500 ms until the box changes.
    run_.timerInterval = 600;
    run_.probeTimeout = DefaultTimeOut;
}

QStringList TestParameters::items(ParameterBox box) const {
    return items_[Index(box)];
}

QString TestParameters::text(ParameterBox box) const {
    return texts_[Index(box)];
}

void TestParameters::setText(ParameterBox box, const QString& text) {
    QString& stored = texts_[Index(box)];
    if (stored != text) {
        stored = text;
        emit textChanged(box, text);
    }
    runChangeHandling(box);
}

void TestParameters::selectIndex(ParameterBox box, int index) {
    const QStringList& list = items_[Index(box)];
    if (index < 0 || index >= list.size())
        return;
    setText(box, list[index]);
}

void TestParameters::CommandA_Click(int item) {
    if (item == 0)
        setText(ParameterBox::Interval, AdvancedItem);
    if (item == 1)
        setText(ParameterBox::Size, AdvancedItem);
}

void TestParameters::runChangeHandling(ParameterBox box) {
    switch (box) {
        case ParameterBox::Interval:
            intervalChanged();
            break;
        case ParameterBox::Size:
            sizeChanged();
            break;
        case ParameterBox::TimeOut:
            ValidateTimeOut();
            break;
        case ParameterBox::Times:
            ValidateTimes();
            UpdateTotalLabel();
            break;
        case ParameterBox::RepIP:
            UpdateTotalLabel();
            break;
    }
}

bool TestParameters::RunStartChecks() {
    return ValidateInterval() && ValidateSize() && ValidateTimeOut() && ValidateTimes() &&
           ValidateRepeatPerIP();
}

void TestParameters::showError(const QString& message) {
    prompts_.message(message, MessageIcon::Critical);
}

// ---- Interval ----

void TestParameters::intervalChanged() {
    if (intervalChanging_)
        return;
    const QScopedValueRollback guard(intervalChanging_, true);
    const QString& current = texts_[Index(ParameterBox::Interval)];
    if (current == AdvancedItem) {
        runIntervalDialog();
    } else if (!PositiveWholeNumber(current)) {
        showError(BadInterval);
        selectIndex(ParameterBox::Interval, InitialIntervalIndex);
    }
}

void TestParameters::runIntervalDialog() {
    if (!dialogs_.runIntervalDialog(intervalDialog_)) {
        selectIndex(ParameterBox::Interval, InitialIntervalIndex);
        return;
    }
    const double from = LeadingNumber(intervalDialog_.from);
    const double to = LeadingNumber(intervalDialog_.to);
    const double step = LeadingNumber(intervalDialog_.step);
    const qint32 repeat = qBound(0, WholeNumber(LeadingNumber(intervalDialog_.repeat)), 32767);
    run_.interval.from = from;
    run_.interval.to = to;
    run_.interval.step = step;
    run_.interval.repeat = qint16(repeat);
    run_.interval.current = WholeNumber(from);
    run_.interval.mode = SteppedMode;
    const QString direction = from < to ? QStringLiteral("++") : QStringLiteral("--");
    setText(ParameterBox::Interval, NumberText(from) + QStringLiteral(" to ") + NumberText(to) +
                                        QStringLiteral(", ") + NumberText(step) + direction +
                                        QStringLiteral(", ") + QString::number(repeat));
}

bool TestParameters::ValidateInterval() {
    const QString current = texts_[Index(ParameterBox::Interval)].trimmed().toLower();
    if (current.contains(QStringLiteral("to")))
        return applySteppedInterval(current);
    // A single interval that is not usable is reported, and the one in force is kept.
    if (const std::optional<qint32> ms = PositiveWholeNumber(current)) {
        run_.timerInterval = *ms;
        run_.interval.mode.clear();
    } else {
        showError(BadInterval);
    }
    return true;
}

// "<from> to <to>, <step>++|--, <rounds per value>"
bool TestParameters::applySteppedInterval(const QString& text) {
    const QStringList parts = text.split(u',');
    const qsizetype at = parts.size() == 3 ? parts[0].indexOf(QStringLiteral("to")) : -1;
    if (at < 0) {
        showError(BadInterval);
        return false;
    }
    const std::optional<double> from = ToDouble(parts[0].left(at));
    const std::optional<double> to = ToDouble(parts[0].mid(at + 2, 99));
    const std::optional<qint16> repeat = ToInt16(parts[2]);
    const qint32 first = from ? WholeNumber(*from) : 0;
    // A sequence that starts below 1 ms or falls towards a negative end would hand the timer
    // intervals below 1 ms.
    if (!from || !to || !repeat || first < 1 || *to < 0) {
        showError(BadInterval);
        return false;
    }
    const double step = LeadingNumber(parts[1]);
    run_.interval.from = *from;
    run_.interval.to = *to;
    run_.interval.step = *from < *to ? step : -step;
    run_.interval.repeat = *repeat;
    run_.interval.current = first;
    run_.interval.mode = SteppedMode;
    run_.timerInterval = first;
    return true;
}

// ---- Time-out, number of tests, repeat per IP ----

bool TestParameters::ValidateTimeOut() {
    if (const std::optional<qint32> ms = PositiveWholeNumber(text(ParameterBox::TimeOut))) {
        run_.probeTimeout = *ms;
        return true;
    }
    run_.probeTimeout = DefaultTimeOut;
    showError(BadTimeOut);
    return false;
}

bool TestParameters::ValidateTimes() {
    const QString current = text(ParameterBox::Times).trimmed();
    if (current == ContinuallyItem) {
        run_.testTimes = 0;
        return true;
    }
    if (const std::optional<qint32> times = PositiveWholeNumber(current)) {
        run_.testTimes = *times;
        return true;
    }
    run_.testTimes = 0;
    showError(BadTimes);
    return false;
}

bool TestParameters::ValidateRepeatPerIP() {
    if (const std::optional<qint32> repeat = PositiveWholeNumber(text(ParameterBox::RepIP))) {
        run_.repeatPerIP = *repeat;
        return true;
    }
    run_.repeatPerIP = 0;
    showError(BadRepeatPerIP);
    return false;
}

void TestParameters::UpdateTotalLabel() {
    const double product =
        LeadingNumber(text(ParameterBox::RepIP)) * LeadingNumber(text(ParameterBox::Times));
    const qint32 total = WholeNumber(product);
    const QString label =
        total >= 1 ? QStringLiteral("总数：") + QString::number(total) : QString();
    if (label == totalLabel_)
        return;
    totalLabel_ = label;
    emit totalLabelChanged(label);
}

}  // namespace sondrel
