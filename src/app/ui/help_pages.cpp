#include "app/ui/help_pages.h"

namespace sondrel {

QList<HelpPage> HelpPages() {
    return {
        {"PictureFirst_1",
         QStringLiteral("概述"),
         {QStringLiteral("Sondrel 是一个网络测试工具，它有七个功能："),
          QStringLiteral("1. 侦测（ping）一个地址或一组地址；"),
          QStringLiteral("2. 跟踪到一个主机或一组主机的路由；"),
          QStringLiteral("3. 快速扫描网络中已使用的地址；"), QStringLiteral("4. 摘要报告；"),
          QStringLiteral("5. 把测试结果导出为 txt 或 csv 文件；"),
          QStringLiteral("6. 在各自的终端窗口中运行控制台命令；"),
          QStringLiteral("7. 在设定的时间自动运行测试。")}},
        {"PicturePing_2",
         QStringLiteral("侦测测试"),
         {QStringLiteral(
              "第一步：在左边的列表中选择一个或多个项目，或者在下面的框中输入一个地址或主机名。"),
          QStringLiteral(
              "第二步：选择测试参数：时间间隔、发送缓冲大小、超时时间、测试数目和重复每 IP。"),
          QStringLiteral("第三步：单击“侦测”按钮（或按 F5）。单击“停止”（F4）结束测试。")}},
        {"PictureTracert",
         QStringLiteral("路由追踪"),
         {QStringLiteral("在“功能”菜单中选择“路由追踪功能”。"),
          QStringLiteral("第一步：选择一个或多个项目，或者输入一个地址或主机名。"),
          QStringLiteral(
              "第二步：设置最大跃点数、主机列表、超时时间，以及是否把地址解析为主机名。"),
          QStringLiteral("第三步：单击“跟踪”按钮（或按 F11）。最多 64 "
                         "个跟踪同时运行；用“跳转到主机”查看每个主机。")}},
        {"PictureScan_3",
         QStringLiteral("扫描网络"),
         {QStringLiteral("选择一个地址范围项目（或在范围对话框中输入起止地址），然后单击“扫描 "
                         "IP”按钮（或按 F12）。"),
          QStringLiteral("扫描结果显示每个地址是否应答、主机名、硬件地址和 "
                         "TTL；可以只看活动或非活动的地址，并把它们添加为新的 IP 组。")}},
        {"PictureDos_4",
         QStringLiteral("控制台命令"),
         {QStringLiteral("单击“DOS”按钮（或按 F8）打开控制台面板。"),
          QStringLiteral("从预设列表中选择一个命令，从地址列表中插入一个地址，或者直接输入命令。"),
          QStringLiteral("单击“运行”在新的终端窗口中运行命令；窗口在命令结束后保持打开。"),
          QStringLiteral("“添加”把命令加入历史记录；“管理”可以编辑、刷新和删除历史记录。")}},
        {"PictureReport_5",
         QStringLiteral("摘要报告"),
         {QStringLiteral("测试结束后，单击结果面板中的“打开”链接（或按 Ctrl+R）。"),
          QStringLiteral("选择分组的时间间隔（或按缓冲区大小分组），然后生成报告。")}},
        {"PictureExport_6",
         QStringLiteral("导出结果"),
         {QStringLiteral(
              "单击“导出”（F6）把测试结果保存为 txt 或 csv 文件；“打开”（F7）打开保存的文件。"),
          QStringLiteral("“复制屏幕”（F9）把当前的结果面板作为图片复制到剪贴板。")}},
        {"PictureSchedule_7",
         QStringLiteral("定时测试"),
         {QStringLiteral("在“运行项”中选择“日程安排”，然后单击开始时间（侦测测试还有结束时间）设置"
                         "日期和时间。"),
          QStringLiteral(
              "到了开始的那一分钟，所选的功能自动运行；侦测测试在结束时间之后的那一分钟停止。")}},
        {"PictureDatabase_8",
         QStringLiteral("数据库与命令行"),
         {QStringLiteral("“文件”菜单中的“设置数据库连接”选择数据库、表和字段；选中“记录侦测日志数据"
                         "库”后，每个应答写入一行。"),
          QStringLiteral(
              "默认的表是 PingLogTable，字段有地址、名称、日期、时间、大小、往返时间、TTL "
              "和状态。"),
          QStringLiteral("“生成命令行”根据当前设置生成一个命令行，用它可以直接启动侦测测试。")}},
    };
}

QStringList HibernationNote() {
    return {QStringLiteral("注： 要执行长时间测试或附表测试，"),
            QStringLiteral("请禁用计算机休眠模式。"),
            QStringLiteral("例如用 systemd-inhibit --what=sleep sondrel 启动程序，"
                           "或者在桌面设置中关闭自动挂起。")};
}

}  // namespace sondrel
