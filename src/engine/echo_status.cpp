#include <arpa/inet.h>

#include <QHash>

#include "engine/echo.h"

namespace sondrel {

std::optional<quint32> InetAddr(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    if (text.size() != bytes.size() || bytes.contains('\0'))
        return std::nullopt;
    const in_addr_t address = inet_addr(bytes.constData());
    if (address == INADDR_NONE)
        return std::nullopt;
    return ntohl(address);
}

QString EchoStatusText(qint32 status) {
    static const QHash<qint32, QString> texts = {
        {0, QStringLiteral("ip 成功")},
        {500, QStringLiteral("侦测 超时")},
        {11001, QStringLiteral("ip buf too_小")},
        {11002, QStringLiteral("目标 ip 网无法访问")},
        {11003, QStringLiteral("ip 目标主机无法访问")},
        {11004, QStringLiteral("ip 目标端口不可访问")},
        {11005, QStringLiteral("ip 目标端口不可访问")},
        {11006, QStringLiteral("ip 没有资源")},
        {11007, QStringLiteral("ip 坏选项")},
        {11008, QStringLiteral("ip hw_错误")},
        {11009, QStringLiteral("ip 数据包 too_big")},
        {11010, QStringLiteral("请求超时。")},
        {11011, QStringLiteral("ip bad req")},
        {11012, QStringLiteral("坏的 ip 路由")},
        {11013, QStringLiteral("ip ttl 过期过境")},
        {11014, QStringLiteral("ip ttl 到期 reassem")},
        {11015, QStringLiteral("ip 参数_问题")},
        {11016, QStringLiteral("ip 源抑制")},
        {11017, QStringLiteral("ip 选项 too_big")},
        {11018, QStringLiteral("ip 目标不正确")},
        {11019, QStringLiteral("删除 ip 地址")},
        {11020, QStringLiteral("ip 技术指标 mtu 更改")},
        {11021, QStringLiteral("ip mtu_更改")},
        {11022, QStringLiteral("ip 卸载")},
        {11023, QStringLiteral("添加 ip 地址")},
        {11050, QStringLiteral("ip 一般故障")},
        {11255, QStringLiteral("挂起 ip")},
        {-1, QStringLiteral("inet_addr： IP 格式不正确")},
    };
    return texts.value(status, QStringLiteral("返回未知信息"));
}

}  // namespace sondrel
