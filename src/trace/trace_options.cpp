#include "trace/trace_options.h"

#include "common/leading_number.h"
#include "common/text_file.h"
#include "targets/target_expansion.h"

namespace sondrel {

namespace {

constexpr int MaxHostListMembers = 9;

// The whole-number value of a box text; nothing when it does not fit 32 bits (an overflow of
// the conversion, reported as the unexpected error of the check).
std::optional<qint32> WholeValue(const QString& text) {
    const double value = LeadingNumber(text);
    if (!(value > -2147483648.5 && value < 2147483647.5))
        return std::nullopt;
    return WholeNumber(value);
}

// Like the box's pattern "*.*.*.*": three dots at least, anything around them.
bool LooksLikeHostList(const QString& text) {
    return text.count(QLatin1Char('.')) >= 3;
}

// The check of a number box. An empty box gives no value; a bad one shows its message and
// fails. A value that does not convert at all is the check's unexpected error.
bool CheckWholeNumber(const QString& boxText, const QString& invalidText, UserPrompts& prompts,
                      std::optional<qint32>* value) {
    const QString text = TrimSpaces(boxText);
    if (text.isEmpty())
        return true;
    *value = WholeValue(text);
    if (!*value) {
        prompts.message(QStringLiteral("Inalid 试验次数。"), MessageIcon::Critical);
        return false;
    }
    if (**value < 1) {
        prompts.message(invalidText, MessageIcon::Critical);
        return false;
    }
    return true;
}

QString Option(const QString& letter, const QString& value) {
    return QLatin1Char('-') + letter + QLatin1Char(' ') + value + QLatin1Char(' ');
}

}  // namespace

std::optional<TraceOptions> BuildTraceOptions(const TraceOptionTexts& texts, UserPrompts& prompts) {
    TraceOptions options;
    options.resolveNames = texts.resolveNames;
    options.text = QStringLiteral("tracert ");
    if (!texts.resolveNames)
        options.text += QStringLiteral("-d ");

    std::optional<qint32> hops;
    if (!CheckWholeNumber(texts.maxHops, QStringLiteral("Inalid 最大跃点数。"), prompts, &hops))
        return std::nullopt;
    if (hops) {
        options.maxHops = *hops;
        options.hopsGiven = true;
        options.text += Option(QStringLiteral("h"), QString::number(*hops));
    }

    const QString hostList = TrimSpaces(texts.hostList);
    if (!hostList.isEmpty()) {
        if (!LooksLikeHostList(hostList)) {
            prompts.message(QStringLiteral("IInalid沿主机列表释放源路由"), MessageIcon::Critical);
            return std::nullopt;
        }
        options.hosts = hostList.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        options.text += Option(QStringLiteral("j"), hostList);
    }

    std::optional<qint32> timeOut;
    if (!CheckWholeNumber(texts.timeOut, QStringLiteral("Inalid 超时值。"), prompts, &timeOut))
        return std::nullopt;
    if (timeOut) {
        options.timeOutMs = *timeOut;
        options.text += Option(QStringLiteral("w"), QString::number(*timeOut));
    }
    return options;
}

QStringList TraceArguments(const TraceOptions& options, const QString& target) {
    QStringList arguments;
    if (!options.resolveNames)
        arguments << QStringLiteral("-d");
    if (options.hopsGiven)
        arguments << QStringLiteral("-h") << QString::number(options.maxHops);
    if (!options.hosts.isEmpty())
        arguments << QStringLiteral("-j") << options.hosts;
    if (options.timeOutMs > 0)
        arguments << QStringLiteral("-w") << QString::number(options.timeOutMs);
    arguments << target;
    return arguments;
}

std::optional<QString> TraceHostListFromEntry(const QString& entryLine) {
    if (entryLine.isEmpty())
        return std::nullopt;
    const QChar kind = entryLine.at(0);
    const QString payload = TrimSpaces(entryLine.mid(1));
    if (kind == QLatin1Char('A'))
        return SplitTargetText(payload).first;
    if (kind != QLatin1Char('B'))
        return std::nullopt;
    const QStringList fields = payload.split(QLatin1Char(','));
    QStringList hosts;
    for (qsizetype i = 1; i < fields.size() && hosts.size() < MaxHostListMembers; ++i)
        hosts << SplitTargetText(fields[i]).first;
    return hosts.join(QLatin1Char(' '));
}

}  // namespace sondrel
