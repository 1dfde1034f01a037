#include "app/ui/button_row.h"

#include <QStyle>
#include <QToolButton>

#include "common/run_state.h"
#include "common/ui/twips.h"

namespace sondrel {

namespace {

constexpr int RowHeight = 375;

const QStringList StartButtons{QStringLiteral("CommandStart"), QStringLiteral("CommandTracert"),
                               QStringLiteral("CommandSelectFun_0"), QStringLiteral("Command8")};

struct Caption {
    const char* name;
    const char* text;
    QStyle::StandardPixmap icon;
};

// Picture and caption of each button; the narrow ones show their picture only.
const Caption Captions[] = {
    {"CommandStart", "侦测", QStyle::SP_MediaPlay},
    {"CommandTracert", "跟踪", QStyle::SP_ArrowRight},
    {"CommandSelectFun_0", "", QStyle::SP_ArrowDown},
    {"Command8", "扫描 IP", QStyle::SP_FileDialogContentsView},
    {"CommandStop", "停止", QStyle::SP_MediaStop},
    {"CommandExport", "导出", QStyle::SP_DialogSaveButton},
    {"Command1", "打开", QStyle::SP_DialogOpenButton},
    {"Command2", "", QStyle::SP_FileDialogDetailedView},
    {"Command12", "", QStyle::SP_MessageBoxQuestion},
    {"CommandCheckNew", "", QStyle::SP_BrowserReload},
    {"Command11", "DOS", QStyle::SP_ComputerIcon},
};

}  // namespace

ButtonRow::ButtonRow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ButtonRow"));
    addButton(QStringLiteral("CommandTracert"), 3525, 1150, QStringLiteral("运行跟踪"));
    addButton(QStringLiteral("CommandStart"), 3525, 1150, QStringLiteral("运行侦测测试"));
    addButton(QStringLiteral("CommandSelectFun_0"), 4660, 375, QStringLiteral("选择命令"));
    addButton(QStringLiteral("Command8"), 5100, 1000, QStringLiteral("快速扫描选定的 ip 地址。"));
    addButton(QStringLiteral("CommandStop"), 6165, 900,
              QStringLiteral("停止当前正在运行 侦测 或 IP 扫描测试"));
    addButton(QStringLiteral("CommandExport"), 7245, 1050,
              QStringLiteral("测试结果导出到txt或csv文件"));
    addButton(QStringLiteral("Command1"), 8340, 950, QStringLiteral("打开测试结果文件"));
    addButton(QStringLiteral("Command2"), 9460, 375, QStringLiteral("测试结果屏幕复制到剪贴板"));
    addButton(QStringLiteral("Command12"), 9880, 375, QStringLiteral("如何使用？"));
    addButton(QStringLiteral("CommandCheckNew"), 10300, 375, QStringLiteral("检查新版本Sondrel"));
    addButton(QStringLiteral("Command11"), 10860, 960, QStringLiteral("运行其他 DOS 命令"));
    for (const Caption& caption : Captions) {
        QToolButton* b = buttons_.value(QString::fromLatin1(caption.name));
        b->setText(QString::fromUtf8(caption.text));
        b->setIcon(style()->standardIcon(caption.icon));
        b->setToolButtonStyle(b->text().isEmpty() ? Qt::ToolButtonIconOnly
                                                  : Qt::ToolButtonTextBesideIcon);
    }
    setGeometry(TwipsRect(LeftTwips, 2340, 10860 + 960 - LeftTwips, RowHeight));
}

QToolButton* ButtonRow::addButton(const QString& name, int left, int width,
                                  const QString& toolTip) {
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setToolTip(toolTip);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setGeometry(TwipsRect(left - LeftTwips, 0, width, RowHeight));
    buttons_.insert(name, button);
    refresh(name);
    return button;
}

QToolButton* ButtonRow::button(const QString& name) const {
    return buttons_.value(name);
}

void ButtonRow::setAvailable(const QString& name, bool available) {
    if (available)
        available_.insert(name);
    else
        available_.remove(name);
    refresh(name);
}

void ButtonRow::setBusy(bool busy) {
    for (const QString& name : StartButtons)
        setBlocked(name, busy);
}

void ButtonRow::setStopEnabled(bool enabled) {
    setBlocked(QStringLiteral("CommandStop"), !enabled);
}

void ButtonRow::raiseStartButton(Activity function) {
    const bool trace = function == Activity::Trace;
    const QString front = trace ? QStringLiteral("CommandTracert") : QStringLiteral("CommandStart");
    const QString back = trace ? QStringLiteral("CommandStart") : QStringLiteral("CommandTracert");
    buttons_.value(front)->show();
    buttons_.value(front)->raise();
    buttons_.value(back)->hide();
}

void ButtonRow::setBlocked(const QString& name, bool blocked) {
    if (blocked)
        blocked_.insert(name);
    else
        blocked_.remove(name);
    refresh(name);
}

void ButtonRow::refresh(const QString& name) {
    if (QToolButton* button = buttons_.value(name))
        button->setEnabled(available_.contains(name) && !blocked_.contains(name));
}

}  // namespace sondrel
