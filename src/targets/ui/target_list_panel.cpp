#include "targets/ui/target_list_panel.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QStyle>
#include <QToolButton>

#include "common/ui/twips.h"

namespace sondrel {

namespace {

constexpr int PanelLeft = 240;
constexpr int PanelTop = 485;
constexpr int PanelWidth = 4095;
constexpr int ListInset = 45;
constexpr int ListWidth = 3285;
constexpr int ButtonLeft = 3375;
constexpr int ButtonWidth = 675;
constexpr int ButtonHeight = 255;
constexpr int SizeButtonTop = ListInset + 5 * ButtonHeight + 15;
constexpr int SizeButtonHeight = 300;
constexpr int MaximisedFromTwips = 2000;

struct AddButton {
    const char* caption;
    const char* toolTip;
};

const AddButton AddButtons[] = {
    {"添加S", "添加单个 IP 或 URL"},
    {"添加G", "添加一组 IP 地址"},
    {"添加R", "添加一个范围内的 IP 地址"},
    {"编辑", "编辑选择项目"},
    {"删除", "删除入围项目"},
};

QToolButton* AddToolButton(QWidget* parent, const QString& name, const QString& toolTip) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setToolTip(toolTip);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

}  // namespace

TargetListView::TargetListView(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("ListIP"));
    setSelectionMode(QAbstractItemView::MultiSelection);
    setUniformItemSizes(true);
}

void TargetListView::mousePressEvent(QMouseEvent* event) {
    QListWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid())
        Q_EMIT operatorClicked();
}

void TargetListView::keyPressEvent(QKeyEvent* event) {
    const int currentBefore = currentRow();
    const qsizetype selectedBefore = selectedItems().size();
    QListWidget::keyPressEvent(event);
    if (currentRow() != currentBefore || selectedItems().size() != selectedBefore)
        Q_EMIT operatorClicked();
}

TargetListPanel::TargetListPanel(QWidget* client) : QFrame(client) {
    setObjectName(QStringLiteral("Picture1_0"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    list_ = new TargetListView(this);
    addButtons();
    setHeights(NormalHeightTwips, NormalListTwips);

    checkReset_ = new QCheckBox(client);
    checkReset_->setObjectName(QStringLiteral("CheckReset"));
    PlaceTwips(checkReset_, 190, 170, 285, 285);
    heading_ = new QLabel(QStringLiteral("选择要测试的 1 个或更多 IP："), client);
    heading_->setObjectName(QStringLiteral("Label1_1"));
    PlaceTwips(heading_, 525, 150, 3675, 315);
}

void TargetListPanel::addButtons() {
    for (int i = 0; i < 5; ++i) {
        QToolButton* button = AddToolButton(this, QStringLiteral("CommandAdd_%1").arg(i),
                                            QString::fromUtf8(AddButtons[i].toolTip));
        button->setText(QString::fromUtf8(AddButtons[i].caption));
        PlaceTwips(button, ButtonLeft, ListInset + i * ButtonHeight, ButtonWidth, ButtonHeight);
        connect(button, &QToolButton::clicked, this, [this, i] { Q_EMIT commandAddClicked(i); });
        commandAdd_[i] = button;
    }
    maximise_ =
        AddToolButton(this, QStringLiteral("Picture1_1"), QStringLiteral("最大限度地 IP 列表框"));
    maximise_->setIcon(style()->standardIcon(QStyle::SP_TitleBarMaxButton));
    restore_ =
        AddToolButton(this, QStringLiteral("Picture1_2"), QStringLiteral("最小化 IP 列表框"));
    restore_->setIcon(style()->standardIcon(QStyle::SP_TitleBarNormalButton));
    for (QToolButton* button : {maximise_, restore_})
        PlaceTwips(button, ButtonLeft, SizeButtonTop, ButtonWidth, SizeButtonHeight);
    restore_->hide();
    connect(maximise_, &QToolButton::clicked, this, &TargetListPanel::maximiseClicked);
    connect(restore_, &QToolButton::clicked, this, &TargetListPanel::restoreClicked);
}

void TargetListPanel::setHeights(int panelTwips, int listTwips) {
    PlaceTwips(this, PanelLeft, PanelTop, PanelWidth, panelTwips);
    PlaceTwips(list_, ListInset, ListInset, ListWidth, listTwips);
}

void TargetListPanel::setTitles(const QStringList& titles) {
    list_->clear();
    list_->addItems(titles);
}

ListSelection TargetListPanel::selection() const {
    ListSelection selection;
    selection.current = list_->currentRow();
    for (int row = 0; row < list_->count(); ++row) {
        if (list_->item(row)->isSelected())
            selection.selected.append(row);
    }
    return selection;
}

QString TargetListPanel::currentText() const {
    const QListWidgetItem* item = list_->currentItem();
    return item ? item->text() : QString();
}

void TargetListPanel::setCurrent(int position) {
    const QModelIndex index = list_->model()->index(position, 0);
    list_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

void TargetListPanel::selectAll(bool selected) {
    if (selected)
        list_->selectAll();
    else
        list_->clearSelection();
}

bool TargetListPanel::maximised() const {
    return height() >= Twips(MaximisedFromTwips);
}

void TargetListPanel::maximise() {
    setHeights(MaximisedHeightTwips, MaximisedListTwips);
    maximise_->hide();
    restore_->show();
    raise();
}

void TargetListPanel::restore() {
    setHeights(NormalHeightTwips, NormalListTwips);
    maximise_->show();
    restore_->hide();
}

void TargetListPanel::resetSizeButtons() {
    maximise_->show();
    restore_->hide();
}

}  // namespace sondrel
