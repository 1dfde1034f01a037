#include "app/ui/schedule_controller.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QRadioButton>

#include "app/ui/frame_time.h"
#include "app/ui/run_options.h"
#include "common/clock.h"
#include "common/user_prompts.h"

namespace sondrel {

namespace {

constexpr int CheckIntervalMs = 3000;
constexpr int FromEditorTop = 1520;
constexpr int ToEditorTop = 2020;

void ShowTime(QComboBox* box, const ScheduleTime& time) {
    box->clear();
    box->addItem(ScheduleDisplayText(time));
}

}  // namespace

ScheduleController::ScheduleController(Parts parts, QObject* parent)
    : QObject(parent), parts_(parts), timer3_(parts.clock.createTimer()) {
    timer3_->onTimeout = [this] { checkStart(); };
    RunOptions& options = parts_.options;
    connect(options.optionSchedule(), &QRadioButton::clicked, this, &ScheduleController::arm);
    connect(options.optionNow(), &QRadioButton::clicked, this, &ScheduleController::disarm);
    // A start selects "立即" itself: the schedule is off, the run's own title line stays.
    connect(options.optionNow(), &QRadioButton::toggled, this, [this](bool now) {
        if (!now)
            return;
        timer3_->stop();
        parts_.options.setScheduleBoxes(false, false);
        hideEditor();
    });
    connect(&parts_.editor, &FrameTime::accepted, this, &ScheduleController::CommandOK_Click);
    connect(&parts_.editor, &FrameTime::cancelled, this, [this] {
        Q_EMIT focusRestRequested();
        hideEditor();
    });
    options.comboFrom()->installEventFilter(this);
    options.comboTo()->installEventFilter(this);
}

ScheduleController::~ScheduleController() = default;

bool ScheduleController::armed() const {
    return timer3_->isActive();
}

void ScheduleController::functionChanged() {
    if (parts_.options.optionSchedule()->isChecked())
        parts_.options.setScheduleBoxes(true, parts_.state.selectedFunction == Activity::Ping);
}

void ScheduleController::hideEditor() {
    parts_.editor.hide();
}

void ScheduleController::arm() {
    parts_.options.setScheduleBoxes(true, parts_.state.selectedFunction == Activity::Ping);
    timer3_->start(CheckIntervalMs);
    FillScheduleLists();
    ShowScheduleCaption();
    hideEditor();
}

void ScheduleController::disarm() {
    parts_.options.setScheduleBoxes(false, false);
    timer3_->stop();
    parts_.titleLine.clear();
    hideEditor();
}

// A start an hour from now and an end eight hours from now, to the minute.
void ScheduleController::FillScheduleLists() {
    const QDateTime now = parts_.clock.now();
    from_ = ScheduleTimeAt(now.addSecs(3600));
    to_ = ScheduleTimeAt(now.addSecs(8 * 3600));
    parts_.editor.fillLists(ScheduleYearItems(now));
    ShowTime(parts_.options.comboFrom(), from_);
    ShowTime(parts_.options.comboTo(), to_);
}

void ScheduleController::ShowScheduleCaption() {
    if (parts_.state.activityBusy())
        return;
    Q_EMIT captionShowing();
    const QString fromText = parts_.options.comboFrom()->currentText();
    if (parts_.state.selectedFunction == Activity::Ping)
        parts_.titleLine.setText(
            ScheduledPingCaption(fromText, parts_.options.comboTo()->currentText()));
    else if (parts_.state.selectedFunction == Activity::Trace)
        parts_.titleLine.setText(ScheduledTraceCaption(fromText));
}

bool ScheduleController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (watched == parts_.options.comboFrom())
            openEditor(false);
        else if (watched == parts_.options.comboTo())
            openEditor(true);
    }
    return QObject::eventFilter(watched, event);
}

void ScheduleController::openEditor(bool endBox) {
    editingEnd_ = endBox;
    QComboBox* box = endBox ? parts_.options.comboTo() : parts_.options.comboFrom();
    parts_.editor.edit(ScheduleTimeOfDisplay(box->currentText()),
                       endBox ? ToEditorTop : FromEditorTop);
}

void ScheduleController::CommandOK_Click() {
    Q_EMIT focusRestRequested();  // not back into the time box, which would open the editor
    hideEditor();
    QString error;
    const FrameTime& e = parts_.editor;
    const std::optional<ScheduleTime> time =
        EditedScheduleTime(e.text(0), e.text(1), e.text(2), e.text(3), e.text(4), &error);
    if (!time) {
        parts_.prompts.message(error + QStringLiteral("   "), MessageIcon::Critical);
        return;
    }
    (editingEnd_ ? to_ : from_) = *time;
    ShowTime(editingEnd_ ? parts_.options.comboTo() : parts_.options.comboFrom(), *time);
    ShowScheduleCaption();
}

// Runs while nothing else does; once the start minute has come the schedule fires once.
void ScheduleController::checkStart() {
    if (parts_.state.activityBusy() || !ScheduleStartReached(parts_.clock.now(), from_)) {
        timer3_->start(CheckIntervalMs);
        return;
    }
    Q_EMIT startDue(parts_.state.selectedFunction, ScheduleMoment(to_));
}

}  // namespace sondrel
