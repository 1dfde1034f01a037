#include "app/ui/run_options.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <tuple>

#include "common/ui/twips.h"

namespace sondrel {

namespace {

constexpr int RowHeight = 330;

// Places a child given in window twips inside the run options.
void Place(QWidget* widget, int left, int top, int width, int height) {
    PlaceTwips(widget, left - RunOptions::LeftTwips, top, width, height);
}

}  // namespace

RunOptions::RunOptions(QWidget* parent)
    : QWidget(parent),
      optionNow_(new QRadioButton(QStringLiteral("立即"), this)),
      optionSchedule_(new QRadioButton(QStringLiteral("日程安排"), this)),
      comboFrom_(new QComboBox(this)),
      comboTo_(new QComboBox(this)),
      checkDB_(new QCheckBox(this)) {
    setObjectName(QStringLiteral("RunOptions"));
    PlaceTwips(this, LeftTwips, 0, 11940 - LeftTwips, 2295);
    addLabel(QStringLiteral("Label1_8"), QStringLiteral("运行项："), 8700, 150, 1500);
    optionNow_->setObjectName(QStringLiteral("OptionSch_0"));
    Place(optionNow_, 8700, 480, 900, RowHeight);
    optionNow_->setChecked(true);
    optionSchedule_->setObjectName(QStringLiteral("OptionSch_1"));
    Place(optionSchedule_, 9690, 480, 1500, RowHeight);
    for (auto [box, name, label, top] : {std::tuple{comboFrom_, "ComboFrom", "从 :", 900},
                                         std::tuple{comboTo_, "ComboTo", "到 :", 1335}}) {
        const QString boxName = QString::fromLatin1(name);
        addLabel(QStringLiteral("Label") + boxName.mid(5), QString::fromUtf8(label), 8700, top, 540)
            ->setEnabled(false);
        box->setObjectName(boxName);
        Place(box, 9300, top, 2460, RowHeight);
        box->setEnabled(false);
    }
    addLabel(QStringLiteral("Label1_29"), QStringLiteral("记录侦测日志数据库:"), 8700, 1905, 2520);
    checkDB_->setObjectName(QStringLiteral("CheckDB"));
    Place(checkDB_, 11235, 1905, 300, RowHeight);
    checkDB_->setEnabled(false);
}

QLabel* RunOptions::addLabel(const QString& name, const QString& text, int left, int top,
                             int width) {
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    Place(label, left, top, width, RowHeight);
    return label;
}

void RunOptions::selectStartNow() {
    optionNow_->setChecked(true);
}

void RunOptions::offerPingSchedule() {
    comboTo_->setEnabled(comboFrom_->isEnabled());
}

void RunOptions::offerTraceSchedule() {
    comboTo_->setEnabled(false);
}

void RunOptions::setScheduleBoxes(bool armed, bool withEnd) {
    for (const char* name : {"LabelFrom", "LabelTo"})
        findChild<QLabel*>(QString::fromLatin1(name))->setEnabled(armed);
    comboFrom_->setEnabled(armed);
    comboTo_->setEnabled(armed && withEnd);
    for (QComboBox* box : {comboFrom_, comboTo_}) {
        QPalette colours = box->palette();
        colours.setColor(QPalette::Button, armed ? QColor(0x80, 0xFF, 0x80)
                                                 : QApplication::palette().color(QPalette::Button));
        box->setPalette(colours);
    }
}

}  // namespace sondrel
