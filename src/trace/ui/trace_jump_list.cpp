#include "trace/ui/trace_jump_list.h"
#include "common/ui/twips.h"
#include "trace/trace_lines.h"
#include "trace/trace_run.h"

#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <algorithm>

namespace sondrel {

namespace {

// In twips of the pane. The buttons sit in the title line above the rows, each list drops
// down from under its button.
constexpr int CaptionLeft = 5900;
constexpr int CaptionWidth = 1080;
constexpr int ControlTop = 30;
constexpr int ControlHeight = 300;
constexpr int ButtonLefts[] = {7005, 8150};
constexpr int ButtonWidth = 1100;
constexpr int ListTop = 360;
constexpr int ListWidth = 3000;
constexpr int ItemHeight = 195;
constexpr int MaxVisibleItems = 20;

const char* const ButtonTexts[] = {"未完成", "已完成"};
const char* const ButtonTips[] = {"正在跟踪的主机", "跟踪完成的主机"};

}  // namespace

TraceJumpList::TraceJumpList(TraceRun& run, QWidget* pane) : QObject(pane), run_(run) {
    caption_ =
        pane->findChild<QLabel*>(QStringLiteral("LabelTittle_3"), Qt::FindDirectChildrenOnly);
    if (!caption_) {
        caption_ = new QLabel(pane);
        caption_->setObjectName(QStringLiteral("LabelTittle_3"));
    }
    caption_->setText(QStringLiteral("跳转到主机："));
    caption_->setGeometry(TwipsRect(CaptionLeft, ControlTop, CaptionWidth, ControlHeight));
    caption_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    for (int item = 0; item < 2; ++item) {
        auto* button = new QPushButton(QString::fromUtf8(ButtonTexts[item]), pane);
        button->setObjectName(QStringLiteral("CmdJumpTo_%1").arg(item));
        button->setToolTip(QString::fromUtf8(ButtonTips[item]));
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(TwipsRect(ButtonLefts[item], ControlTop, ButtonWidth, ControlHeight));
        connect(button, &QPushButton::clicked, this, [this, item] { dropDown(item); });
        buttons_[size_t(item)] = button;
    }

    list_ = new QListWidget(pane);
    list_->setObjectName(QStringLiteral("TraceIP"));
    list_->setUniformItemSizes(true);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setTextElideMode(Qt::ElideNone);  // the index far to the right stays out of view
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setMouseTracking(true);
    list_->viewport()->installEventFilter(this);
    connect(list_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { itemPicked(item->text()); });

    setShown(false);
}

void TraceJumpList::setShown(bool shown) {
    caption_->setVisible(shown);
    for (QPushButton* button : buttons_)
        button->setVisible(shown);
    if (shown) {
        caption_->raise();
        for (QPushButton* button : buttons_)
            button->raise();
    } else {
        hidePopup();
    }
}

void TraceJumpList::hidePopup() {
    list_->hide();
}

void TraceJumpList::dropDown(int button) {
    list_->clear();
    const QStringList items = run_.jumpItems(button);
    for (const QString& text : items) {
        auto* item = new QListWidgetItem(text, list_);
        item->setSizeHint(QSize(0, Twips(ItemHeight)));
        item->setToolTip(TraceJumpToolTip(text));
    }
    const int rows = std::clamp(int(items.size()), 1, MaxVisibleItems);
    const int frame = 2 * list_->frameWidth();
    list_->setGeometry(Twips(ButtonLefts[button]), Twips(ListTop), Twips(ListWidth),
                       rows * Twips(ItemHeight) + frame);
    list_->show();
    list_->raise();
}

// The item under the pointer, or the last one below the last item, becomes the current one and
// tells its title.
void TraceJumpList::pointerAt(int y) {
    const int count = list_->count();
    if (count == 0)
        return;
    QListWidgetItem* under = list_->itemAt(QPoint(1, y));
    if (!under)
        under = y < 0 ? list_->item(0) : list_->item(count - 1);
    if (list_->currentItem() != under)
        list_->setCurrentItem(under);
    list_->setToolTip(TraceJumpToolTip(under->text()));
}

void TraceJumpList::itemPicked(const QString& text) {
    hidePopup();
    run_.jumpItemClicked(text);
}

bool TraceJumpList::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_->viewport() && event->type() == QEvent::MouseMove)
        pointerAt(static_cast<QMouseEvent*>(event)->position().toPoint().y());
    return QObject::eventFilter(watched, event);
}

}  // namespace sondrel
