#include <QCoreApplication>
#include <QListWidget>

#include "app/command_line.h"
#include "app/ui/dialog_command_line.h"
#include "app/ui/form_tester.h"
#include "app/ui/manual_target_box.h"
#include "common/user_prompts.h"
#include "engine/test_parameters.h"
#include "engine/ui/parameter_frame.h"
#include "targets/ui/target_list_controller.h"
#include "targets/ui/target_list_panel.h"

namespace sondrel {

namespace {

constexpr ParameterBox Boxes[] = {ParameterBox::Interval, ParameterBox::Size, ParameterBox::TimeOut,
                                  ParameterBox::Times, ParameterBox::RepIP};

const QString LoadLabel = QStringLiteral("   窗口_加载");

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
        targets_->manual().single = targets;
        return true;
    }
    bool negative = false;
    const QList<int> positions =
        CommandLinePositions(targets, targets_->panel()->list()->count(), &negative);
    if (negative) {
        services_.prompts.message(CommandLineNegativePositionMessage + LoadLabel,
                                  MessageIcon::Critical);
        return false;
    }
    targets_->selectPositions(positions);
    return true;
}

void FormTester::mnuBuildCmdLine_Click() {
    frame1_1_->commitPendingEdits();
    const ListSelection selection = targets_->selection();
    const QString targets =
        CommandLineTargets(selection.current >= 0, selection.selected, textPing_->text());
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
