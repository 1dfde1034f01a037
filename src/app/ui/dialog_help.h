#pragma once

#include <QDialog>
#include <array>

class QFrame;
class QLabel;

namespace sondrel {

// The help window `DialogHelp` ("如何使用？"): nine pages, one shown at a time, paged with
// `CommandPre` and `CommandNext`, the counter `Label1` ("3 of 9") and `Command1` "退出(" that
// hides it. It is modeless and keeps its page and place between showings.
class DialogHelp : public QDialog {
    Q_OBJECT
  public:
    static constexpr int PageCount = 9;

    explicit DialogHelp(QWidget* parent = nullptr);

    int page() const { return page_; }
    void showPage(int page);
    void CommandNext_Click();
    void CommandPre_Click();

  private:
    void buildPages();
    void buildControls();

    std::array<QFrame*, PageCount> pages_{};
    QLabel* counter_ = nullptr;
    int page_ = 1;
};

}  // namespace sondrel
