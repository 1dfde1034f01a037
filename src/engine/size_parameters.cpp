// The send-buffer size box: its change handling, the size dialog's OK and ValidateSize.
#include <QScopedValueRollback>

#include "common/leading_number.h"
#include "engine/echo.h"
#include "engine/parameter_lists.h"
#include "engine/test_parameters.h"

namespace sondrel {

namespace {

const QString BadSizeSuffix = QStringLiteral(" - Inalid 发送缓冲大小.       ");
const QString BadSingleSize = QStringLiteral("Inalid 缓冲大小值。");
const QString BadRepeat = QStringLiteral("“每个值重复时间”的值无效，最小值是1");
const QString DialogErrorSuffix = QStringLiteral("    CommandAddIP_Click");

constexpr qint32 DefaultSize = 32;

// The values of a size list: spaces removed, then one leading and one trailing comma dropped.
QString CleanSizeValues(QString values) {
    values.remove(u' ');
    if (values.startsWith(u','))
        values.remove(0, 1);
    if (values.endsWith(u','))
        values.chop(1);
    return values;
}

// The first character that is neither a digit nor a comma (a whole surrogate pair), or "".
QString FirstBadSizeCharacter(const QString& values) {
    for (qsizetype i = 0; i < values.size(); ++i) {
        const QChar c = values[i];
        if ((c >= u'0' && c <= u'9') || c == u',')
            continue;
        const bool pair =
            c.isHighSurrogate() && i + 1 < values.size() && values[i + 1].isLowSurrogate();
        return values.mid(i, pair ? 2 : 1);
    }
    return {};
}

// Reads checked list values (digits and commas only) into sizes. Returns the message of the
// first value that is 0 (or empty) or above the largest size, else "".
QString ReadSizeValues(const QString& values, QList<qint32>& sizes) {
    sizes.clear();
    for (const QString& piece : values.split(u',')) {
        const double size = LeadingNumber(piece);
        if (size == 0)
            return QStringLiteral("在值 0 值无效。");
        if (size > MaxProbeSize) {
            return QStringLiteral("无效值 '") + piece +
                   QStringLiteral("' '值' 中的最大值是 32000。");
        }
        sizes << WholeNumber(size);
    }
    return {};
}

bool IsSize(double size) {
    return size >= 1 && size <= MaxProbeSize;
}

// Whether a text holds a comma followed somewhere later by a slash: a list of sizes.
bool IsSizeList(const QString& text) {
    const qsizetype comma = text.indexOf(u',');
    return comma >= 0 && text.indexOf(u'/', comma + 1) >= 0;
}

}  // namespace

// ---- DialogAdvanceSize ----

bool SizeDialogModel::acceptsKey(QChar key, bool commaAllowed) {
    return (key >= u'0' && key <= u'9') || key == QChar(8) || (commaAllowed && key == u',');
}

bool SizeDialogModel::accept() {
    return option == Option::Incremental ? acceptIncremental() : acceptList();
}

bool SizeDialogModel::refuse(const QString& message) {
    prompts_.message(message, MessageIcon::Critical);
    return false;
}

bool SizeDialogModel::fail(const QString& errorDescription) {
    prompts_.message(errorDescription + DialogErrorSuffix, MessageIcon::Exclamation);
    return false;
}

bool SizeDialogModel::acceptIncremental() {
    // The boxes take digits only; rounding keeps a pasted fraction from becoming a size.
    const qint32 from = WholeNumber(LeadingNumber(textIFrom));
    if (from <= 0)
        return refuse(QStringLiteral("从发送缓冲大小值无效。"));
    if (from > MaxProbeSize)
        return refuse(QStringLiteral("'从发送缓冲大小，' 无效值的最大大小是 32000。"));
    const qint32 to = WholeNumber(LeadingNumber(textITo));
    if (to <= 0)
        return refuse(QStringLiteral("发送缓冲大小值无效。"));
    if (to > MaxProbeSize)
        return refuse(QStringLiteral("发送到缓冲大小，值无效的最大大小是 32000。"));
    const qint32 span = to - from;
    if (span <= 0)
        return refuse(QStringLiteral("发送缓冲区大小值无效。"));
    const qint32 step = WholeNumber(LeadingNumber(textIIncre));
    if (step <= 0)
        return refuse(QStringLiteral("'增量值无效。"));
    if (step > span) {
        return refuse(QStringLiteral("无效值的增量值，最大大小是") + QString::number(span) +
                      QStringLiteral(".   "));
    }
    QString error;
    const std::optional<qint16> repeat = ToInt16(textIRe, &error);
    if (!repeat)
        return fail(error);
    if (*repeat < 1)
        return refuse(BadRepeat);
    run_.size.mode = SteppedMode;
    run_.size.from = from;
    run_.size.to = to;
    run_.size.step = step;
    run_.size.repeat = *repeat;
    run_.size.count = qint16(span / step + 1);  // at most 32000
    run_.size.index = 0;
    return true;
}

bool SizeDialogModel::acceptList() {
    const QString values = CleanSizeValues(textMV);
    if (values.isEmpty())
        return refuse(QStringLiteral("请输入 '值'。"));
    const QString bad = FirstBadSizeCharacter(values);
    if (!bad.isEmpty()) {
        return refuse(QStringLiteral("无效字符 '") + bad + QStringLiteral("' in the 'Values'.  "));
    }
    QString error;
    const std::optional<qint16> repeat = ToInt16(textMRe, &error);
    if (!repeat)
        return fail(error);
    if (*repeat < 1)
        return refuse(BadRepeat);
    QList<qint32> sizes;
    const QString message = ReadSizeValues(values, sizes);
    if (!message.isEmpty())
        return refuse(message);
    if (sizes.size() > 32767)
        return fail(OverflowError);
    run_.size.mode = ListMode;
    run_.size.list = sizes;
    run_.size.count = qint16(sizes.size());
    run_.size.repeat = *repeat;
    run_.size.summary = values + QStringLiteral(" /") + QString::number(*repeat);
    run_.size.index = 0;
    return true;
}

// ---- Change handling of ComboSize ----

void TestParameters::sizeChanged() {
    if (sizeChanging_)
        return;
    const QScopedValueRollback guard(sizeChanging_, true);
    const QString& current = texts_[int(ParameterBox::Size)];
    if (current == SizeRampItem) {
        setText(ParameterBox::Times, QStringLiteral("1000"));
    } else if (current == AdvancedItem) {
        runSizeDialog();
    }
}

void TestParameters::runSizeDialog() {
    run_.size.count = 0;
    run_.size.stepLength = 1;
    run_.size.index = -1;
    run_.size.list = {DefaultSize};
    run_.size.mode.clear();
    run_.size.summary.clear();
    dialogs_.runSizeDialog(sizeDialog_);
    if (run_.size.count == 0) {  // cancelled, or closed without an accepted OK
        selectIndex(ParameterBox::Size, InitialSizeIndex);
        run_.size.list = {DefaultSize};
        run_.size.count = 1;
        run_.size.index = 0;
        return;
    }
    if (run_.size.mode == SteppedMode) {
        setText(ParameterBox::Size, NumberText(run_.size.from) + QStringLiteral(" to ") +
                                        NumberText(run_.size.to) + QStringLiteral(", ") +
                                        NumberText(run_.size.step) + QStringLiteral("++, ") +
                                        QString::number(run_.size.repeat));
        // One pass through the sizes.
        const qint64 rounds = qint64(run_.size.repeat) * run_.size.count;
        setText(ParameterBox::Times, QString::number(rounds));
    } else {
        setText(ParameterBox::Size, run_.size.summary);
        selectIndex(ParameterBox::Times, InitialTimesIndex);
    }
}

// ---- ValidateSize ----

bool TestParameters::ValidateSize() {
    const QString current = texts_[int(ParameterBox::Size)].trimmed().toLower();
    if (current == FixedSizeListItem) {
        run_.size.list = {16, 32, 64, 1024};
        run_.size.count = 4;
        run_.size.repeat = 4;
        run_.size.index = 0;
        run_.size.mode = ListMode;
        return true;
    }
    if (current == SizeRampItem) {
        run_.size.from = 32;
        run_.size.to = MaxProbeSize;
        run_.size.step = 32;
        run_.size.count = 1000;
        run_.size.repeat = 1;
        run_.size.index = 0;
        run_.size.mode = SteppedMode;
        return true;
    }
    if (current.contains(QStringLiteral("to")))
        return applySteppedSize(current);
    if (!IsSizeList(current)) {
        applySingleSize(current);
        return true;
    }
    return applySizeList(current);
}

// "<from> to <to>, <step>++, <rounds per value>". Every size of the sequence must lie in
// 1..32000, so the first and the last one are checked as well as the end value.
bool TestParameters::applySteppedSize(const QString& text) {
    const QStringList parts = text.split(u',');
    if (parts.size() != 3) {
        resetSize();
        showError(BadSizeSuffix);
        return false;
    }
    const qsizetype at = parts[0].indexOf(QStringLiteral("to"));
    if (at < 0)
        return sizeError(InvalidArgumentError);
    QString error;
    const std::optional<double> from = ToDouble(parts[0].left(at), &error);
    if (!from)
        return sizeError(error);
    const std::optional<double> to = ToDouble(parts[0].mid(at + 2, 99), &error);
    if (!to)
        return sizeError(error);
    const double step = LeadingNumber(parts[1]);
    const std::optional<qint16> repeat = ToInt16(parts[2], &error);
    if (!repeat)
        return sizeError(error);
    const std::optional<qint32> steps = WholeDivide(*to - *from, step, &error);
    if (!steps)
        return sizeError(error);
    if (*steps >= 32767)
        return sizeError(OverflowError);
    const qint32 count = *steps + 1;
    if (*repeat < 1) {
        resetSize();
        showError(BadRepeat);
        return false;
    }
    const double last = *from + step * (count - 1);
    if (count < 1 || !IsSize(*from) || !IsSize(*to) || !IsSize(WholeNumber(last))) {
        resetSize();
        showError(BadSizeSuffix);
        return false;
    }
    run_.size.from = *from;
    run_.size.to = *to;
    run_.size.step = step;
    run_.size.repeat = *repeat;
    run_.size.count = qint16(count);
    run_.size.index = 0;
    run_.size.mode = SteppedMode;
    return true;
}

void TestParameters::applySingleSize(const QString& text) {
    qint32 size = WholeNumber(LeadingNumber(text));
    if (!IsSize(size)) {
        showError(BadSingleSize);
        size = DefaultSize;
    }
    run_.size.count = 1;
    run_.size.stepLength = 1;
    run_.size.index = 0;
    run_.probeSize = size;
    run_.size.mode.clear();
}

// "<size>,<size>,... /<rounds per value>"
bool TestParameters::applySizeList(const QString& text) {
    const qsizetype slash = text.indexOf(u'/');
    QString error;
    const std::optional<qint16> repeat = ToInt16(text.mid(slash + 1, 99), &error);
    if (!repeat)
        return sizeError(error);
    const QString values = CleanSizeValues(text.left(slash));
    if (values.isEmpty()) {
        showError(QStringLiteral("Inalid 发送缓冲大小。"));
        return false;
    }
    const QString bad = FirstBadSizeCharacter(values);
    if (!bad.isEmpty()) {
        showError(QStringLiteral("Inalid 发送缓冲大小、 无效字符 '") + bad + QStringLiteral(".  "));
        return false;
    }
    if (*repeat < 1) {
        showError(BadRepeat);
        return false;
    }
    QList<qint32> sizes;
    const QString message = ReadSizeValues(values, sizes);
    if (!message.isEmpty()) {
        showError(message);
        return false;
    }
    if (sizes.size() > 32767)
        return sizeError(OverflowError);
    run_.size.list = sizes;
    run_.size.count = qint16(sizes.size());
    run_.size.repeat = *repeat;
    run_.size.summary = values + QStringLiteral(" /") + QString::number(*repeat);
    run_.size.index = 0;
    run_.size.mode = ListMode;
    return true;
}

// The single default size, used after a size text was refused.
void TestParameters::resetSize() {
    run_.size.list = {DefaultSize};
    run_.size.count = 1;
    run_.size.index = 0;
    run_.size.mode.clear();
    run_.probeSize = DefaultSize;
}

bool TestParameters::sizeError(const QString& errorDescription) {
    resetSize();
    showError(errorDescription + BadSizeSuffix);
    return false;
}

}  // namespace sondrel
