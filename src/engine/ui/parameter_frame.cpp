#include "engine/ui/parameter_frame.h"
#include "common/ui/cjk_font.h"
#include "common/ui/frame_grid.h"
#include "common/ui/twips.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QToolButton>

namespace sondrel {

namespace {

using namespace frame_grid;

int Slot(ParameterBox which) {
    return int(which);
}

}  // namespace

ParameterFrame::ParameterFrame(TestParameters& params, QWidget* parent)
    : QFrame(parent), params_(params) {
    setObjectName(QStringLiteral("Frame1_1"));
    setFixedSize(Twips(FrameWidth), Twips(FrameHeight));
    setFrameShape(QFrame::StyledPanel);
    // A fixed face keeps the captions inside the fixed frame on every desktop.
    setFont(CjkFont());

    title_ = new QLabel(QStringLiteral("设置侦测参数："), this);
    title_->setGeometry(TwipsRect(LeftColumn, 15, 1300, 255));
    buildBox(ParameterBox::Interval, QStringLiteral("ComboInv"), QStringLiteral("测试时间间隔："),
             LeftColumn, RowTops[0]);
    buildBox(ParameterBox::Size, QStringLiteral("ComboSize"), QStringLiteral("发送缓冲大小："),
             RightColumn, RowTops[0]);
    buildBox(ParameterBox::TimeOut, QStringLiteral("ComboTimeOut"), QStringLiteral("超时时间"),
             LeftColumn, RowTops[1]);
    buildBox(ParameterBox::Times, QStringLiteral("ComboTimes"), QStringLiteral("测试数目："),
             RightColumn, RowTops[1]);
    buildBox(ParameterBox::RepIP, QStringLiteral("ComboRepIP"), QStringLiteral("重复每 IP："),
             LeftColumn, RowTops[2]);
    buildButtons();

    total_ = new QLabel(params.totalLabelText(), this);
    total_->setObjectName(QStringLiteral("Label1_28"));
    total_->setGeometry(TwipsRect(RightColumn, RowTops[2] + BoxOffset, 1800, BoxHeight));

    fillLists();
    connect(&params, &TestParameters::listsFilled, this, &ParameterFrame::fillLists);
    connect(&params, &TestParameters::textChanged, this, &ParameterFrame::showModelText);
    connect(&params, &TestParameters::totalLabelChanged, total_, &QLabel::setText);
}

QString ParameterFrame::title() const {
    return title_->text();
}

void ParameterFrame::buildBox(ParameterBox which, const QString& name, const QString& caption,
                              int left, int top) {
    auto* label = new QLabel(caption, this);
    label->setGeometry(TwipsRect(left, top, RightColumn - LeftColumn - 60, CaptionHeight));
    auto* combo = new QComboBox(this);
    combo->setObjectName(name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);  // typed text stays as typed
    const int width = left == LeftColumn ? LeftBoxWidth : RightBoxWidth;
    combo->setGeometry(TwipsRect(left, top + BoxOffset, width, BoxHeight));
    combos_[size_t(Slot(which))] = combo;

    connect(combo, &QComboBox::activated, this,
            [this, which](int index) { params_.selectIndex(which, index); });
    connect(combo->lineEdit(), &QLineEdit::textEdited, this,
            [this, which](const QString& text) { textTyped(which, text); });
    connect(combo->lineEdit(), &QLineEdit::editingFinished, this,
            [this, which] { editingFinished(which); });
}

void ParameterFrame::buildButtons() {
    const struct {
        int item;
        ParameterBox beside;
    } advanced[] = {{0, ParameterBox::Interval}, {1, ParameterBox::Size}};
    for (const auto& a : advanced) {
        auto* button = new QToolButton(this);
        button->setObjectName(QStringLiteral("CommandA_%1").arg(a.item));
        button->setText(QStringLiteral("A"));
        button->setToolTip(QStringLiteral("高级设置"));
        const QRect place = box(a.beside)->geometry();
        button->setGeometry(place.right() + 3, place.y(), Twips(ButtonSize), place.height());
        connect(button, &QToolButton::clicked, this,
                [this, item = a.item] { params_.CommandA_Click(item); });
    }
    auto* selector = new QToolButton(this);
    selector->setObjectName(QStringLiteral("CommandSelectFun_2"));
    selector->setToolTip(QStringLiteral("选择命令"));
    selector->setArrowType(Qt::DownArrow);
    selector->setGeometry(TwipsRect(1400, 15, ButtonSize, 270));
    connect(selector, &QToolButton::clicked, this, &ParameterFrame::functionSelectorClicked);
}

void ParameterFrame::fillLists() {
    for (int slot = 0; slot < 5; ++slot) {
        const auto which = ParameterBox(slot);
        QComboBox* combo = combos_[size_t(slot)];
        {
            const QSignalBlocker quiet(combo);
            combo->clear();
            combo->addItems(params_.items(which));
            combo->setEditText(params_.text(which));
        }
        // The list may be wider than the box ("16,32,64,1024 字节").
        combo->view()->setMinimumWidth(combo->view()->sizeHintForColumn(0) + 8);
        emptyPending_[size_t(slot)] = false;
    }
}

// A text the model now holds: the box shows it, as the list item when there is one.
void ParameterFrame::showModelText(ParameterBox which, const QString& text) {
    QComboBox* combo = box(which);
    emptyPending_[size_t(Slot(which))] = false;
    if (combo->currentText() == text)
        return;
    const QSignalBlocker quiet(combo);
    const int index = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        combo->setCurrentIndex(index);
    if (combo->currentText() != text)
        combo->setEditText(text);
}

void ParameterFrame::textTyped(ParameterBox which, const QString& text) {
    const bool empty = text.isEmpty();
    emptyPending_[size_t(Slot(which))] = empty;
    if (!empty)
        params_.setText(which, text);
}

void ParameterFrame::editingFinished(ParameterBox which) {
    if (!emptyPending_[size_t(Slot(which))])
        return;
    emptyPending_[size_t(Slot(which))] = false;
    params_.setText(which, box(which)->currentText());
}

void ParameterFrame::commitPendingEdits() {
    for (int slot = 0; slot < 5; ++slot)
        editingFinished(ParameterBox(slot));
}

void ParameterFrame::mousePressEvent(QMouseEvent* event) {
    Q_EMIT backgroundClicked();
    QFrame::mousePressEvent(event);
}

}  // namespace sondrel
