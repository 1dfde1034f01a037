#include "targets/ui/members_popup.h"

#include <QLabel>
#include <QListWidget>
#include <QStyle>
#include <QToolButton>

#include "common/ui/twips.h"

namespace sondrel {

namespace {

constexpr int Inset = 60;
constexpr int CaptionHeight = 270;
constexpr int ListTop = 660;
constexpr int CloseSize = 285;

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
    const int textWidth = WidthTwips - 2 * Inset - CloseSize;
    PlaceTwips(kindCaption_, Inset, Inset, textWidth, CaptionHeight);
    PlaceTwips(title_, Inset, Inset + CaptionHeight + 30, textWidth, CaptionHeight);
    PlaceTwips(close_, WidthTwips - Inset - CloseSize, Inset, CloseSize, CloseSize);
    PlaceTwips(members_, Inset, ListTop, WidthTwips - 2 * Inset, heightTwips - ListTop - Inset);
}

}  // namespace sondrel
