#include "app/ui/shell_commands.h"

#include <QAction>
#include <QClipboard>
#include <QDesktopServices>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QToolButton>

#include "app/ui/button_row.h"
#include "app/ui/dialog_help.h"
#include "app/ui/main_menu.h"
#include "common/ui/twips.h"

namespace sondrel {

namespace {

const QColor LinkGrey(0x40, 0x40, 0x40);
const QColor LinkGreen(0x00, 0xFF, 0x00);
constexpr int HelpTop = 100;

void SetTextColour(QLabel* label, const QColor& colour) {
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, colour);
    label->setPalette(colours);
}

}  // namespace

ShellCommands::ShellCommands(Parts parts, QUrl productPage, QObject* parent)
    : QObject(parent), parts_(parts), productPage_(std::move(productPage)) {
    using Command = void (ShellCommands::*)();
    const std::pair<const char*, Command> commands[] = {
        {"mnuCopy", &ShellCommands::Command2_Click},
        {"mnuHowto", &ShellCommands::Command12_Click},
        {"mnuWebsite", &ShellCommands::openProductPage}};
    for (const auto& [name, command] : commands) {
        QAction* action = parts_.menu.action(QString::fromLatin1(name));
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, command);
    }
    const std::pair<const char*, Command> buttons[] = {
        {"Command2", &ShellCommands::Command2_Click},
        {"Command12", &ShellCommands::Command12_Click},
        {"CommandCheckNew", &ShellCommands::openProductPage}};
    for (const auto& [name, command] : buttons) {
        const QString button = QString::fromLatin1(name);
        parts_.buttons.setAvailable(button, true);
        connect(parts_.buttons.button(button), &QToolButton::clicked, this, command);
    }
    addWebsiteLink();
}

// The shown result pane, at its own size, as a picture on the clipboard; with neither pane
// shown the clipboard ends empty.
void ShellCommands::Command2_Click() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    QWidget* pane = parts_.resultsPane.isVisible() ? &parts_.resultsPane
                    : parts_.scanPane.isVisible()  ? &parts_.scanPane
                                                   : nullptr;
    if (pane != nullptr)
        clipboard->setPixmap(pane->grab(pane->contentsRect()));
    Q_EMIT focusRestRequested();
}

// Made on the first request at the window's left edge, 100 twips below the top of the screen;
// afterwards shown again as it was left.
void ShellCommands::Command12_Click() {
    Q_EMIT focusRestRequested();
    if (help_ == nullptr) {
        help_ = new DialogHelp(&parts_.window);
        const QScreen* screen = parts_.window.screen();
        const int top = (screen ? screen->geometry().top() : 0) + Twips(HelpTop);
        help_->move(parts_.window.frameGeometry().left(), top);
    }
    help_->show();
    help_->raise();
}

void ShellCommands::openProductPage() {
    QDesktopServices::openUrl(productPage_);
}

// The link in the results pane: grey, green under the pointer.
void ShellCommands::addWebsiteLink() {
    website_ = new QLabel(&parts_.resultsPane);
    website_->setObjectName(QStringLiteral("LabelWebsite"));
    website_->setGeometry(TwipsRect(8500, 5115, 3100, 210));
    website_->setText(website_->fontMetrics().elidedText(productPage_.toString(), Qt::ElideMiddle,
                                                         website_->width()));
    website_->setToolTip(productPage_.toString());
    website_->setCursor(Qt::PointingHandCursor);
    SetTextColour(website_, LinkGrey);
    website_->installEventFilter(this);
    parts_.resultsPane.installEventFilter(this);
    parts_.window.installEventFilter(this);
}

bool ShellCommands::eventFilter(QObject* watched, QEvent* event) {
    if (watched == website_) {
        if (event->type() == QEvent::Enter)
            SetTextColour(website_, LinkGreen);
        else if (event->type() == QEvent::MouseButtonRelease)
            openProductPage();
    } else if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
        SetTextColour(website_, LinkGrey);
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace sondrel
