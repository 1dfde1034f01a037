#include "scan/local_interface.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>

namespace sondrel {

QString InterfaceHoldingAddress(const QString& address) {
    in_addr wanted{};
    if (::inet_pton(AF_INET, address.toLatin1().constData(), &wanted) != 1)
        return {};
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0)
        return {};
    QString name;
    for (const ifaddrs* entry = list; entry && name.isEmpty(); entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET)
            continue;
        const auto* held = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
        if (held->sin_addr.s_addr == wanted.s_addr)
            name = QString::fromLocal8Bit(entry->ifa_name);
    }
    ::freeifaddrs(list);
    return name;
}

}  // namespace sondrel
