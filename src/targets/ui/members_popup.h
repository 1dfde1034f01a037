#pragma once

#include <QFrame>

#include "targets/entry_editing.h"

class QLabel;
class QListWidget;
class QToolButton;

namespace sondrel {

// `PictureShowIP`: the members of the selected group or range over the lower band, with the
// kind caption `TextShowIPsT`, the title `TextShowIPsT2`, the member list `TextShowIPs` and the
// close button `Command18`. It remembers what it shows until it is filled again.
class MembersPopup final : public QFrame {
    Q_OBJECT
  public:
    static constexpr int WidthTwips = 3315;

    explicit MembersPopup(QWidget* client);

    // Fills the popup from the entry's details and shows it in front; a single entry hides it.
    void showDetails(const EntryDetails& details);
    const EntryDetails& shownDetails() const { return details_; }

  Q_SIGNALS:
    // The operator clicked a member of the list.
    void memberClicked(const QString& member);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    EntryDetails details_;
    QLabel* kindCaption_ = nullptr;
    QLabel* title_ = nullptr;
    QListWidget* members_ = nullptr;
    QToolButton* close_ = nullptr;
};

}  // namespace sondrel
