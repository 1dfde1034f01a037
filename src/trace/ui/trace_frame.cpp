#include "trace/ui/trace_frame.h"
#include "common/ui/cjk_font.h"
#include "common/ui/frame_grid.h"
#include "common/ui/twips.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QToolButton>

namespace sondrel {

namespace {

using namespace frame_grid;

constexpr int WideBoxWidth = 3870;  // the host list: up to nine addresses

const QStringList HopItems = {"5", "10", "15", "20", "30", "40", "64"};
const QStringList TimeOutItems = {"500", "1000", "2000", "3000", "4000", "5000", "10000"};
const QString DefaultHops = QStringLiteral("30");
const QString DefaultTimeOut = QStringLiteral("4000");

}  // namespace

TraceFrame::TraceFrame(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Frame1_2"));
    setFixedSize(Twips(FrameWidth), Twips(FrameHeight));
    setFrameShape(QFrame::StyledPanel);
    setFont(CjkFont());

    title_ = new QLabel(QStringLiteral("设置跟踪参数："), this);
    title_->setGeometry(TwipsRect(LeftColumn, 15, 1300, 255));

    auto* selector = new QToolButton(this);
    selector->setObjectName(QStringLiteral("CommandSelectFun_1"));
    selector->setToolTip(QStringLiteral("选择命令"));
    selector->setArrowType(Qt::DownArrow);
    selector->setGeometry(TwipsRect(1400, 15, ButtonSize, 270));
    connect(selector, &QToolButton::clicked, this, &TraceFrame::functionSelectorClicked);

    hops_ = buildBox(1, QStringLiteral("最大跃点数："), LeftColumn, RowTops[0], LeftBoxWidth);
    hops_->addItems(HopItems);
    timeOut_ = buildBox(3, QStringLiteral("超时时间"), RightColumn, RowTops[0], RightBoxWidth);
    timeOut_->addItems(TimeOutItems);
    hostList_ = buildBox(2, QStringLiteral("主机列表："), LeftColumn, RowTops[1], WideBoxWidth);
    connect(hostList_, &QComboBox::activated, this, &TraceFrame::hostListActivated);
    connect(hostList_->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString& text) { hostText_ = text; });

    resolve_ = new QCheckBox(QStringLiteral("地址解析为主机名："), this);
    resolve_->setObjectName(QStringLiteral("CheckIPtoName"));
    resolve_->setLayoutDirection(Qt::RightToLeft);  // the box after its caption
    resolve_->setGeometry(TwipsRect(LeftColumn, RowTops[2] + BoxOffset, 2400, BoxHeight));

    setMaxHopsText(DefaultHops);
    setTimeOutText(DefaultTimeOut);
}

QComboBox* TraceFrame::buildBox(int item, const QString& caption, int left, int top, int width) {
    auto* label = new QLabel(caption, this);
    label->setGeometry(TwipsRect(left, top, width, CaptionHeight));
    auto* combo = new QComboBox(this);
    combo->setObjectName(QStringLiteral("ComboTracert_%1").arg(item));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);  // typed text stays as typed
    combo->setGeometry(TwipsRect(left, top + BoxOffset, width, BoxHeight));
    return combo;
}

QString TraceFrame::title() const {
    return title_->text();
}

QComboBox* TraceFrame::box(int item) const {
    switch (item) {
        case 1:
            return hops_;
        case 2:
            return hostList_;
        case 3:
            return timeOut_;
        default:
            return nullptr;
    }
}

TraceOptionTexts TraceFrame::optionTexts() const {
    TraceOptionTexts texts;
    texts.maxHops = hops_->currentText();
    texts.hostList = hostList_->currentText();
    texts.timeOut = timeOut_->currentText();
    texts.resolveNames = resolve_->isChecked();
    return texts;
}

void TraceFrame::setOptionTexts(const TraceOptionTexts& texts) {
    setMaxHopsText(texts.maxHops);
    setHostListText(texts.hostList);
    setTimeOutText(texts.timeOut);
    setResolveNames(texts.resolveNames);
}

void TraceFrame::setMaxHopsText(const QString& text) {
    const QSignalBlocker quiet(hops_);
    hops_->setEditText(text);
}

void TraceFrame::setHostListText(const QString& text) {
    hostText_ = text;
    const QSignalBlocker quiet(hostList_);
    hostList_->setEditText(text);
}

void TraceFrame::setTimeOutText(const QString& text) {
    const QSignalBlocker quiet(timeOut_);
    timeOut_->setEditText(text);
}

void TraceFrame::setResolveNames(bool resolve) {
    resolve_->setChecked(resolve);
}

void TraceFrame::setHostListItems(const QStringList& items) {
    const QSignalBlocker quiet(hostList_);
    hostList_->clear();
    hostList_->addItems(items);
    hostList_->setEditText(hostText_);
    // The items carry the entry's position far to the right; the list shows their start.
    hostList_->view()->setMinimumWidth(hostList_->width());
}

// The combo box put the item's text into the edit field; the host list is what the window
// makes of the pick (nothing for a range), so the field goes back to the host list first.
void TraceFrame::hostListActivated(int index) {
    const QString item = hostList_->itemText(index);
    {
        const QSignalBlocker quiet(hostList_);
        hostList_->setEditText(hostText_);
    }
    Q_EMIT hostListPicked(item);
}

void TraceFrame::mousePressEvent(QMouseEvent* event) {
    Q_EMIT backgroundClicked();
    QFrame::mousePressEvent(event);
}

}  // namespace sondrel
