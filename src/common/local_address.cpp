#include "common/local_address.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace sondrel {

QString FirstLocalIpv4Address() {
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return {};
    QString found;
    for (const ifaddrs* entry = list; entry != nullptr && found.isEmpty();
         entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET)
            continue;
        if ((entry->ifa_flags & IFF_UP) == 0 || (entry->ifa_flags & IFF_LOOPBACK) != 0)
            continue;
        char text[INET_ADDRSTRLEN] = {};
        const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
        if (inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) != nullptr)
            found = QString::fromLatin1(text);
    }
    freeifaddrs(list);
    return found;
}

}  // namespace sondrel
