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
    CommandLineTargetChoice choice;
    if (!ApplyCommandLineFields(fields, *params_, targets_->panel()->list()->count(),
                                services_.prompts, LoadLabel, &choice))
        return;
    if (choice.single) {
        textPing_->setText(choice.target);
        targets_->manual().single = choice.target;
    } else {
        targets_->selectPositions(choice.positions);
    }
    CommandStart_Click();
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
    for (ParameterBox box : CommandLineBoxes)
        texts << params_->text(box);
    return texts;
}

}  // namespace sondrel
