#include "targets/ui/members_popup.h"

#include <QLabel>
#include <QListWidget>
#include <QStyle>
#include <QToolButton>

#include "common/ui/twips.h"

namespace sondrel {

namespace {

constexpr int kInset = 60;
constexpr int kCaptionHeight = 270;
constexpr int kListTop = 660;
constexpr int kCloseSize = 285;

}  // namespace

MembersPopup::MembersPopup(QWidget* client) : QFrame(client) {
    setObjectName(QStringLiteral("PictureShowIP"));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    kindCaption_ = new QLabel(this);
    kindCaption_->setObjectName(QStringLiteral("TextShowIPsT"));
    title_ = new QLabel(this);
    title_->setObjectName(QStringLiteral("TextShowIPsT2"));
    members_ = new QListWidget(this);
    members_->setObjectName(QStringLiteral("TextShowIPs"));
    close_ = new QToolButton(this);
    close_->setObjectName(QStringLiteral("Command18"));
    close_->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    close_->setAutoRaise(true);
    connect(close_, &QToolButton::clicked, this, &QWidget::hide);
    connect(members_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { Q_EMIT memberClicked(item->text()); });
    PlaceTwips(this, EntryDetails::LeftTwips, EntryDetails::TopTwips, WidthTwips, 5405);
    hide();
}

void MembersPopup::showDetails(const EntryDetails& details) {
    kindCaption_->clear();
    title_->clear();
    members_->clear();
    if (!details.shown) {
        hide();
        return;
    }
    details_ = details;
    kindCaption_->setText(details.kindCaption);
    title_->setText(details.title);
    members_->addItems(details.members);
    PlaceTwips(this, EntryDetails::LeftTwips, EntryDetails::TopTwips, WidthTwips,
               details.heightTwips);
    show();
    raise();
}

void MembersPopup::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    const int heightTwips = height() * TwipsPerPixel;
    const int textWidth = WidthTwips - 2 * kInset - kCloseSize;
    PlaceTwips(kindCaption_, kInset, kInset, textWidth, kCaptionHeight);
    PlaceTwips(title_, kInset, kInset + kCaptionHeight + 30, textWidth, kCaptionHeight);
    PlaceTwips(close_, WidthTwips - kInset - kCloseSize, kInset, kCloseSize, kCloseSize);
    PlaceTwips(members_, kInset, kListTop, WidthTwips - 2 * kInset,
               heightTwips - kListTop - kInset);
}

}  // namespace sondrel
