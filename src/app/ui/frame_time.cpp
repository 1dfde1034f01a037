#include "app/ui/frame_time.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "app/schedule.h"
#include "common/ui/twips.h"

namespace sondrel {

namespace {

// In window twips: under the time boxes, reaching from the right edge of the ping frame to
// the right edge of the window, wide enough for every number beside its drop-down button.
constexpr int FrameLeft = 7650;
constexpr int FrameWidth = 4230;
constexpr int FrameHeight = 720;
constexpr int BoxTop = 60;
constexpr int BoxHeight = 300;
constexpr int ButtonTop = 390;
constexpr int ButtonWidth = 900;

struct Field {
    const char* name;
    int left;
    int width;
};
constexpr Field Fields[] = {{"ComboSYear", 60, 960},
                            {"ComboSMonth", 1050, 750},
                            {"ComboSDay", 1830, 750},
                            {"ComboSHour", 2610, 750},
                            {"ComboSMinute", 3390, 750}};

}  // namespace

FrameTime::FrameTime(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("FrameTime"));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    resize(Twips(FrameWidth), Twips(FrameHeight));
    for (int field = 0; field < 5; ++field) {
        auto* combo = new QComboBox(this);
        combo->setObjectName(QString::fromLatin1(Fields[field].name));
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        PlaceTwips(combo, Fields[field].left, BoxTop, Fields[field].width, BoxHeight);
        boxes_[field] = combo;
    }
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("CommandOK"));
    PlaceTwips(ok_, FrameWidth - 2 * ButtonWidth - 120, ButtonTop, ButtonWidth, BoxHeight);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("CommandCancel"));
    PlaceTwips(cancel, FrameWidth - ButtonWidth - 60, ButtonTop, ButtonWidth, BoxHeight);
    connect(ok_, &QPushButton::clicked, this, &FrameTime::accepted);
    connect(cancel, &QPushButton::clicked, this, &FrameTime::cancelled);
    hide();
}

void FrameTime::fillLists(const QStringList& years) {
    const QStringList lists[] = {years, ScheduleNumberItems(1, 12), ScheduleNumberItems(1, 31),
                                 ScheduleNumberItems(0, 23), ScheduleNumberItems(0, 59)};
    for (int field = 0; field < 5; ++field) {
        boxes_[field]->clear();
        boxes_[field]->addItems(lists[field]);
    }
}

void FrameTime::edit(const ScheduleTime& time, int topTwips) {
    const QString texts[] = {time.year, time.month, time.day, time.hour, time.minute};
    for (int field = 0; field < 5; ++field)
        boxes_[field]->setEditText(texts[field]);
    move(Twips(FrameLeft), Twips(topTwips));
    show();
    raise();
    ok_->setFocus(Qt::OtherFocusReason);
}

QString FrameTime::text(int field) const {
    return boxes_[field]->currentText();
}

}  // namespace sondrel
