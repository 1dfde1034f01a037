#include "app/ui/main_menu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace sondrel {

namespace {

// The commands that work in this version; every other item is present but disabled.
bool Available(const QString& name) {
    static const QStringList available{
        QStringLiteral("mnuStart"),         QStringLiteral("mnuStop"),
        QStringLiteral("mnuTracert"),       QStringLiteral("mnuSelectPing"),
        QStringLiteral("mnuSelectTracert"), QStringLiteral("mnuBuildCmdLine"),
        QStringLiteral("mnuExit"),          QStringLiteral("mnuSetupDB"),
        QStringLiteral("mnuExport"),        QStringLiteral("mnuOpen"),
        QStringLiteral("mnuReport"),        QStringLiteral("mnuIpscanner"),
        QStringLiteral("mnuAddG2"),         QStringLiteral("mnuAddG2Active"),
        QStringLiteral("mnuAddG2Inactive"), QStringLiteral("mnuAddG2All")};
    return available.contains(name);
}

}  // namespace

struct MainMenu::Item {
    const char* name;  // empty: a separator
    const char* caption;
    const char* key = "";
};

MainMenu::MainMenu(QMenuBar* bar) : QObject(bar) {
    addFileMenus(bar);
    addListMenus(bar);
}

// 文件, 操作 and 功能: the commands of the files and of the runs.
void MainMenu::addFileMenus(QMenuBar* bar) {
    addItems(addMenu(bar, QStringLiteral("mnuFile"), QStringLiteral("文件")),
             {{"mnuExpImp_1", "导出 IP 列表"},
              {"mnuExpImp_2", "导入 IP 列表"},
              {"", ""},
              {"mnuExpImp_4", "导出 DOS 命令历史记录"},
              {"mnuExpImp_5", "导入 DOS 命令历史记录"},
              {"", ""},
              {"mnuSetupDB", "设置数据库连接(&S)"},
              {"", ""},
              {"mnuBuildCmdLine", "生成命令行(&G)"},
              {"", ""},
              {"mnuWebsite", "转到我们的网站", "Ctrl+W"},
              {"", ""},
              {"mnuExit", "退出", "Ctrl+Q"}});
    addItems(addMenu(bar, QStringLiteral("mnuOperate"), QStringLiteral("操作")),
             {{"mnuStart", "侦测", "F5"},
              {"mnuTracert", "跟踪", "F11"},
              {"mnuIpscanner", "扫描 IP", "F12"},
              {"mnuStop", "停止", "F4"},
              {"", ""},
              {"mnuExport", "导出", "F6"},
              {"mnuOpen", "打开", "F7"},
              {"", ""},
              {"mnuCopy", "复制屏幕", "F9"},
              {"", ""},
              {"mnuReport", "打开摘要报告", "Ctrl+R"}});
    addItems(addMenu(bar, QStringLiteral("mnuFunction"), QStringLiteral("功能")),
             {{"mnuSelectPing", "侦测功能"}, {"", ""}, {"mnuSelectTracert", "路由追踪功能"}});
}

// IP, 工具 and 帮助: the target list, the console and the help.
void MainMenu::addListMenus(QMenuBar* bar) {
    QMenu* ipList = addMenu(bar, QStringLiteral("mnuIPList"), QStringLiteral("&IP"));
    addItems(ipList, {{"mnuAddS", "添加单个 IP 或 URL"},
                      {"mnuAddG", "添加一组 IP 地址"},
                      {"munAddR", "添加一个范围内的 IP 地址"},
                      {"mnuEdit", "编辑选择项目"},
                      {"mnuDelete", "删除入围项目"},
                      {"", ""},
                      {"mnuScanLocalIP", "扫描本地子网，并保存 ip 地址"},
                      {"", ""}});
    addItems(
        addSubmenu(ipList, QStringLiteral("mnuAddG2"), QStringLiteral("添加新 IP 组並扫描 IP")),
        {{"mnuAddG2Active", "将活动 IP 添加到新 IP 组"},
         {"mnuAddG2Inactive", "将非活动 IP 添加到新 IP 组"},
         {"mnuAddG2All", "添加新 IP 组的所有 IP"}});
    addItems(ipList, {{"", ""}, {"mnuReset", "重置所有选中的复选框"}});
    QMenu* utility = addMenu(bar, QStringLiteral("mnuUtility"), QStringLiteral("工具"));
    addItems(utility,
             {{"mnuDos", "DOS 命令", "F8"}, {"", ""}, {"mnuCloseAllDOS", "关闭所有打开 DOS 表单"}});
    addItems(addSubmenu(utility, QStringLiteral("mnuDeleteDos"),
                        QStringLiteral("删除 DOS 运行历史记录")),
             {{"", ""},
              {"mnuDel_1", "DOS 命令列表中使用记事本编辑"},
              {"mnuDel_2", "刷新 DOS 命令列表"},
              {"", ""},
              {"mnuDel_4", "删除所选历史记录"},
              {"", ""},
              {"mnuDel_6", "删除所有除最后 10 条记录"},
              {"mnuDel_7", "删除所有除最后 20 条记录"},
              {"mnuDel_8", "删除所有除最后 30 条记录"},
              {"mnuDel_9", "删除所有除最后 50 条记录"},
              {"mnuDel_10", "删除所有除最后 100 条记录"},
              {"", ""},
              {"mnuDel_12", "删除所有的历史记录"}});
    addItems(addMenu(bar, QStringLiteral("mnuHelp"), QStringLiteral("帮助")),
             {{"mnuHowto", "如何使用？", "F1"}});
}

QAction* MainMenu::action(const QString& name) const {
    return actions_.value(name);
}

QMenu* MainMenu::menu(const QString& name) const {
    return menus_.value(name);
}

QMenu* MainMenu::addMenu(QMenuBar* bar, const QString& name, const QString& caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    menus_.insert(name, menu);
    return menu;
}

QMenu* MainMenu::addSubmenu(QMenu* parent, const QString& name, const QString& caption) {
    QMenu* menu = parent->addMenu(caption);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    menu->menuAction()->setEnabled(Available(name));
    menus_.insert(name, menu);
    actions_.insert(name, menu->menuAction());
    return menu;
}

void MainMenu::addItems(QMenu* menu, std::initializer_list<Item> items) {
    for (const Item& item : items) {
        const QString name = QString::fromLatin1(item.name);
        if (name.isEmpty()) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(QString::fromUtf8(item.caption));
        action->setObjectName(name);
        action->setShortcut(QKeySequence(QString::fromLatin1(item.key)));
        action->setEnabled(Available(name));
        actions_.insert(name, action);
    }
}

}  // namespace sondrel
