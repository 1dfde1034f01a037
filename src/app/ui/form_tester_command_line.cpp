#include <QCoreApplication>
#include <QListWidget>

#include "app/command_line.h"
#include "app/ui/dialog_command_line.h"
#include "app/ui/form_tester.h"
#include "app/ui/manual_target_box.h"
#include "engine/test_parameters.h"
#include "engine/ui/parameter_frame.h"
#include "engine/user_prompts.h"

namespace sondrel {

namespace {

constexpr ParameterBox Boxes[] = {ParameterBox::Interval, ParameterBox::Size, ParameterBox::TimeOut,
                                  ParameterBox::Times, ParameterBox::RepIP};

const QString LoadLabel = QStringLiteral("   窗口_加载");
const QString NegativePositionError = QStringLiteral("命令行中的列表位置无效");

}  // namespace

void FormTester::ApplyCommandLine() {
    if (commandLineApplied_)
        return;
    commandLineApplied_ = true;
    CommandLineFields fields;
    switch (ParseCommandLine(commandLineText_, &fields)) {
        case CommandLineKind::None:
            return;
        case CommandLineKind::Incorrect:
            services_.prompts.message(CommandLineIncorrectMessage, MessageIcon::Critical);
            return;
        case CommandLineKind::Apply:
            break;
    }
    for (int i = 0; i < 5; ++i)
        params_->setText(Boxes[i], fields.boxTexts[i]);
    if (!applyCommandLineTargets(fields.targets))
        return;
    CommandStart_Click();
}

// Field 0: one target for the manual box, or list positions to select. A negative position
// is refused as the list refuses it, and nothing starts.
bool FormTester::applyCommandLineTargets(const QString& targets) {
    if (!targets.contains(QLatin1Char('/'))) {
        textPing_->setText(targets);
        manualSingle_ = targets;
        return true;
    }
    bool negative = false;
    const QList<int> positions = CommandLinePositions(targets, regions_.listIP->count(), &negative);
    if (negative) {
        services_.prompts.message(NegativePositionError + LoadLabel, MessageIcon::Critical);
        return false;
    }
    for (int position : positions)
        regions_.listIP->item(position)->setSelected(true);
    return true;
}

void FormTester::mnuBuildCmdLine_Click() {
    // The target list is not loaded in this version: the manual box names the target.
    frame1_1_->commitPendingEdits();
    const QString targets = CommandLineTargets(false, {}, textPing_->text());
    if (targets.isEmpty()) {
        services_.prompts.message(CommandLineNoTargetMessage, MessageIcon::Critical);
        return;
    }
    builtCommandLine_ =
        BuildCommandLine(QCoreApplication::applicationFilePath(), targets, boxTexts());
    if (dialogCommandLine_ == nullptr)
        dialogCommandLine_ = new DialogCommandLine(this);
    dialogCommandLine_->showCommand(builtCommandLine_);
}

QStringList FormTester::boxTexts() const {
    QStringList texts;
    for (ParameterBox box : Boxes)
        texts << params_->text(box);
    return texts;
}

}  // namespace sondrel
