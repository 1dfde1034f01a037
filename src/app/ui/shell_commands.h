#pragma once

#include <QObject>
#include <QUrl>

class QLabel;
class QWidget;

namespace sondrel {

class ButtonRow;
class DialogHelp;
class MainMenu;

// The shell's own commands: copying the shown result pane to the clipboard (`Command2`,
// mnuCopy F9), the help window (`Command12`, mnuHowto F1) and the product page (mnuWebsite,
// `CommandCheckNew` and the link `LabelWebsite` in the results pane).
class ShellCommands : public QObject {
    Q_OBJECT
  public:
    struct Parts {
        QWidget& window;
        MainMenu& menu;
        ButtonRow& buttons;
        QWidget& resultsPane;  // `Picture2`
        QWidget& scanPane;     // `Picture3`
    };
    ShellCommands(Parts parts, QUrl productPage, QObject* parent);

    void Command2_Click();
    void Command12_Click();
    void openProductPage();
    DialogHelp* help() const { return help_; }
    QLabel* websiteLink() const { return website_; }

  Q_SIGNALS:
    void focusRestRequested();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void addWebsiteLink();

    Parts parts_;
    QUrl productPage_;
    DialogHelp* help_ = nullptr;
    QLabel* website_ = nullptr;
};

}  // namespace sondrel
