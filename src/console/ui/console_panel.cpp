#include "console/ui/console_panel.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QToolButton>
#include <algorithm>

#include "common/text_file.h"
#include "common/ui/cjk_font.h"
#include "common/ui/twips.h"
#include "common/user_prompts.h"
#include "console/command_history.h"
#include "console/console_presets.h"
#include "console/terminal_launch.h"

namespace sondrel {

namespace {

// Places inside the pane, twips.
constexpr int Margin = 120;
constexpr int BoxTop = 390;
constexpr int RowHeight = 315;
constexpr int BoxWidth = 4080;
constexpr int ButtonWidth = 390;
constexpr int SecondRowTop = 810;
constexpr int HistoryTop = 1230;
constexpr int PaneWidth = 6015;
constexpr int PaneHeight = 5405;
constexpr int DropDownHeight = 3300;
constexpr int CaretLimit = 99;
constexpr int SortScrollRows = 20;

struct ButtonPlace {
    const char* text;
    const char* tip;
    int left;
    int top;
};
// CommandDOS items 0 to 6.
constexpr ButtonPlace Buttons[] = {
    {"▼", "选择 DOS cammand", Margin + BoxWidth + 30, BoxTop},
    {"IP", "选择一个 Ip 地址", Margin + BoxWidth + 30 + ButtonWidth, BoxTop},
    {"运行", "运行 DOS 命令", Margin + BoxWidth + 60 + 2 * ButtonWidth, BoxTop},
    {"排序", "DOS 命令列表进行排序", 3150, SecondRowTop},
    {"添加", "向列表中添加当前 DOS 命令", 3150 + ButtonWidth + 270, SecondRowTop},
    {"管理", "管理 DOS 命令列表", 3150 + 2 * (ButtonWidth + 270), SecondRowTop},
    {"", "", 3150 + 3 * (ButtonWidth + 270), SecondRowTop}};
constexpr int WideButtonWidth = 630;

QListWidget* DropDown(QWidget* parent, const QString& name) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    PlaceTwips(list, Margin, BoxTop + RowHeight, BoxWidth, DropDownHeight);
    list->hide();
    return list;
}

}  // namespace

ConsolePanel::ConsolePanel(CommandHistory& history, UserPrompts& prompts, QString programFolder,
                           QWidget* parent)
    : QFrame(parent),
      history_(history),
      prompts_(prompts),
      programFolder_(std::move(programFolder)) {
    setObjectName(QStringLiteral("PictureDOS"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setFont(CjkFont());
    resize(Twips(PaneWidth), Twips(PaneHeight));
    buildControls();
    buildButtons();
    connectLists();
}

void ConsolePanel::buildControls() {
    auto* caption = new QLabel(QStringLiteral("选择或输入 dos 命令行："), this);
    PlaceTwips(caption, Margin, 60, BoxWidth, RowHeight);
    textCmd_ = new QLineEdit(InitialConsoleCommand(), this);
    textCmd_->setObjectName(QStringLiteral("TextCmd"));
    PlaceTwips(textCmd_, Margin, BoxTop, BoxWidth, RowHeight);
    textCmd_->installEventFilter(this);
    connect(textCmd_, &QLineEdit::returnPressed, this, &ConsolePanel::Dos_Run);
    checkAutoAdd_ = new QCheckBox(QStringLiteral("添加到列表"), this);
    checkAutoAdd_->setObjectName(QStringLiteral("CheckAutoAdd"));
    PlaceTwips(checkAutoAdd_, Margin, SecondRowTop, 2400, RowHeight);
    listDOSHis_ = new QListWidget(this);
    listDOSHis_->setObjectName(QStringLiteral("ListDOSHis"));
    listDOSHis_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    listDOSHis_->setMouseTracking(true);
    listDOSHis_->viewport()->installEventFilter(this);
    PlaceTwips(listDOSHis_, Margin, HistoryTop, PaneWidth - 2 * Margin,
               PaneHeight - HistoryTop - Margin);
    listCmd_ = DropDown(this, QStringLiteral("ListCmd"));
    listCmd_->addItems(PresetCommands());
    listIP2_ = DropDown(this, QStringLiteral("ListIP2"));
}

void ConsolePanel::buildButtons() {
    for (int item = 0; item < int(buttons_.size()); ++item) {
        const ButtonPlace& connection = Buttons[item];
        auto* button = new QToolButton(this);
        button->setObjectName(QStringLiteral("CommandDOS_%1").arg(item));
        button->setText(QString::fromUtf8(connection.text));
        button->setToolTip(QString::fromUtf8(connection.tip));
        PlaceTwips(button, connection.left, connection.top,
                   item < 2 ? ButtonWidth : WideButtonWidth, RowHeight);
        buttons_[size_t(item)] = button;
    }
    buttons_[6]->setAutoRaise(true);  // item 6 does nothing
    connect(buttons_[0], &QToolButton::clicked, this, [this] {
        listIP2_->hide();
        listCmd_->show();
        listCmd_->raise();
    });
    connect(buttons_[1], &QToolButton::clicked, this, [this] {
        listCmd_->hide();
        listIP2_->show();
        listIP2_->raise();
    });
    connect(buttons_[2], &QToolButton::clicked, this, &ConsolePanel::Dos_Run);
    connect(buttons_[3], &QToolButton::clicked, this, &ConsolePanel::toggleOrder);
    connect(buttons_[4], &QToolButton::clicked, this, &ConsolePanel::addCurrentCommand);
    connect(buttons_[5], &QToolButton::clicked, this, &ConsolePanel::historyMenuRequested);
}

void ConsolePanel::connectLists() {
    connect(listCmd_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        takeCommand(item->text());
        listCmd_->hide();
    });
    connect(listDOSHis_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (!item->text().isEmpty())
            takeCommand(item->text());
    });
    connect(listIP2_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        listIP2_->hide();
        Q_EMIT addressPicked(item->text());
    });
}

void ConsolePanel::showHistory() {
    listDOSHis_->clear();
    listDOSHis_->addItems(history_.display());
}

void ConsolePanel::setPickItems(const QStringList& items) {
    listIP2_->clear();
    listIP2_->addItems(items);
}

QStringList ConsolePanel::selectedHistory() const {
    QStringList texts;
    for (int row = 0; row < listDOSHis_->count(); ++row)
        if (listDOSHis_->item(row)->isSelected())
            texts << listDOSHis_->item(row)->text();
    return texts;
}

void ConsolePanel::Dos_Run() {
    const QString command = TrimSpaces(textCmd_->text());
    const QString error = RunInTerminal(command, programFolder_);
    if (!error.isEmpty()) {
        prompts_.message(error + QStringLiteral("   Dos_Run"), MessageIcon::Critical);
        return;
    }
    if (checkAutoAdd_->isChecked() && history_.AddCommandToHistory(command))
        showHistory();
}

void ConsolePanel::hideLists() {
    listCmd_->hide();
    listIP2_->hide();
}

void ConsolePanel::takeCommand(const QString& text) {
    textCmd_->setText(text);
    textCmd_->setCursorPosition(std::min<int>(CaretLimit, int(text.size())));
    textCmd_->setFocus(Qt::OtherFocusReason);
}

void ConsolePanel::addCurrentCommand() {
    const QString command = TrimSpaces(textCmd_->text());
    if (command.isEmpty()) {
        prompts_.message(QStringLiteral("当前没有要添加的命令行。"), MessageIcon::Critical);
        return;
    }
    if (history_.AddCommandToHistory(command))
        showHistory();
}

// Sorted or file order; the list comes to the front scrolled down by twenty entries.
void ConsolePanel::toggleOrder() {
    history_.ToggleHistoryOrder();
    showHistory();
    listDOSHis_->show();
    listDOSHis_->raise();
    QScrollBar* bar = listDOSHis_->verticalScrollBar();
    bar->setValue(bar->value() + SortScrollRows);
}

// Clicking into the command box or moving over the history closes the drop-downs.
bool ConsolePanel::eventFilter(QObject* watched, QEvent* event) {
    const bool intoBox = watched == textCmd_ && event->type() == QEvent::MouseButtonPress;
    const bool overHistory =
        watched == listDOSHis_->viewport() && event->type() == QEvent::MouseMove;
    if (intoBox || overHistory)
        hideLists();
    return QFrame::eventFilter(watched, event);
}

}  // namespace sondrel
