#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "engine/test_parameters.h"

namespace sondrel {

class UserPrompts;

// The five boxes of fields 1 to 5, in the order they are written.
inline constexpr ParameterBox CommandLineBoxes[] = {ParameterBox::Interval, ParameterBox::Size,
                                                    ParameterBox::TimeOut, ParameterBox::Times,
                                                    ParameterBox::RepIP};

// The six fields of the argument text: targets, then the texts of the interval, size,
// time-out, number-of-tests and repeat boxes, each exactly as written.
struct CommandLineFields {
    QString targets;
    QStringList boxTexts;  // five texts in box order
};

enum class CommandLineKind {
    None,       // no argument text, or one field without ";": nothing to do
    Incorrect,  // more than one field but not six: "命令行不正确。"
    Apply,      // six fields
};

inline const QString CommandLineIncorrectMessage = QStringLiteral("命令行不正确。");
inline const QString CommandLineNoTargetMessage = QStringLiteral("首先请选择或输入 IP 地址。");
// A negative list position in field 0: the list refuses it and nothing starts.
inline const QString CommandLineNegativePositionMessage = QStringLiteral("命令行中的列表位置无效");

CommandLineKind ParseCommandLine(const QString& text, CommandLineFields* fields);

// Field 0 as list positions ("/0//2/"): each non-empty piece by the leading-number rule,
// rounded; positions beyond the list are skipped. Empty when field 0 names one target (no "/").
// A negative position sets `negative`: the list refuses it and nothing starts.
QList<int> CommandLinePositions(const QString& targets, int listCount, bool* negative = nullptr);

// What field 0 asks of the target list: one target for the manual box, or list positions to
// select (positions past the end of the list are skipped; none left means no selection).
struct CommandLineTargetChoice {
    bool single = false;
    QString target;  // the one target when `single`
    QList<int> positions;
};

// The shared first half of applying the argument text, for the window and the console mode:
// the five box texts go through the boxes' own change handling, then field 0 is read against a
// list of `listCount` entries. A negative position is refused with its message (followed by
// `label`) and false is returned: nothing starts.
bool ApplyCommandLineFields(const CommandLineFields& fields, TestParameters& params, int listCount,
                            UserPrompts& prompts, const QString& label,
                            CommandLineTargetChoice* choice);

// Field 0 as the builder writes it: "/" + each selected position + "/", or the manual text.
QString CommandLineTargets(bool hasCurrentItem, const QList<int>& selected,
                           const QString& textPing);

// The whole command: the program path and the argument text, each quoted for a POSIX shell so
// that the argument text arrives as one argument, spaces and ";" included.
QString BuildCommandLine(const QString& programPath, const QString& targets,
                         const QStringList& boxTexts);

}  // namespace sondrel
