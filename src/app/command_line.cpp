#include "app/command_line.h"

#include <cmath>

#include "common/leading_number.h"
#include "common/user_prompts.h"

namespace sondrel {

CommandLineKind ParseCommandLine(const QString& text, CommandLineFields* fields) {
    if (text.isEmpty())
        return CommandLineKind::None;
    const QStringList parts = text.split(QLatin1Char(';'));
    if (parts.size() == 1)
        return CommandLineKind::None;
    if (parts.size() != 6)
        return CommandLineKind::Incorrect;
    if (fields) {
        fields->targets = parts[0];
        fields->boxTexts = parts.mid(1);
    }
    return CommandLineKind::Apply;
}

QList<int> CommandLinePositions(const QString& targets, int listCount, bool* negative) {
    QList<int> positions;
    if (negative)
        *negative = false;
    if (!targets.contains(QLatin1Char('/')))
        return positions;
    for (const QString& piece : targets.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        const qint32 position = WholeNumber(LeadingNumber(piece));
        if (position < 0) {
            if (negative)
                *negative = true;
            return {};
        }
        if (position < listCount && !positions.contains(position))
            positions << position;
    }
    return positions;
}

bool ApplyCommandLineFields(const CommandLineFields& fields, TestParameters& params, int listCount,
                            UserPrompts& prompts, const QString& label,
                            CommandLineTargetChoice* choice) {
    for (int i = 0; i < 5; ++i)
        params.setText(CommandLineBoxes[i], fields.boxTexts.value(i));
    *choice = {};
    if (!fields.targets.contains(QLatin1Char('/'))) {
        choice->single = true;
        choice->target = fields.targets;
        return true;
    }
    bool negative = false;
    choice->positions = CommandLinePositions(fields.targets, listCount, &negative);
    if (negative) {
        prompts.message(CommandLineNegativePositionMessage + label, MessageIcon::Critical);
        return false;
    }
    return true;
}

QString CommandLineTargets(bool hasCurrentItem, const QList<int>& selected,
                           const QString& textPing) {
    QString targets;
    if (hasCurrentItem) {
        targets = QStringLiteral("/");
        for (int position : selected)
            targets += QString::number(position) + QLatin1Char('/');
    }
    if (targets.size() < 3)
        targets = textPing.trimmed();
    return targets;
}

namespace {

// Single quotes keep every character, spaces and ";" included, for a POSIX shell.
QString shellQuoted(const QString& text) {
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

}  // namespace

QString BuildCommandLine(const QString& programPath, const QString& targets,
                         const QStringList& boxTexts) {
    return shellQuoted(programPath) + QLatin1Char(' ') +
           shellQuoted(targets + QLatin1Char(';') + boxTexts.join(QLatin1Char(';')));
}

}  // namespace sondrel
