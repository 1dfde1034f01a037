#include "console/console_presets.h"

namespace sondrel {

QStringList PresetCommands() {
    // "网络会议" (an online meeting) has no command of its own here: it opens the system's
    // video call check of the camera and microphone devices.
    return {QStringLiteral("tracert"),
            QStringLiteral("ss -tuna"),
            QStringLiteral("nmblookup -A"),
            QStringLiteral("ip addr"),
            QStringLiteral("ip -s -d addr"),
            QStringLiteral("ip neigh"),
            QStringLiteral("ip neigh show"),
            QStringLiteral("ip neigh flush all"),
            QStringLiteral("finger -l"),
            QStringLiteral("ip route"),
            QStringLiteral("ping -c 4"),
            QStringLiteral("mtr -r -c 10"),
            QStringLiteral("ls -l"),
            QStringLiteral("getent hosts"),
            QStringLiteral("smbtree -N"),
            QStringLiteral("findmnt -t cifs"),
            QStringLiteral("ls -l /dev/video* /dev/snd"),
            QStringLiteral("help")};
}

QStringList DefaultHistory() {
    return {QStringLiteral("tracert www.debian.org"),
            QStringLiteral("tracert www.kernel.org"),
            QStringLiteral("ip -s -d addr"),
            QStringLiteral("hostname"),
            QStringLiteral("hostnamectl"),
            QStringLiteral("smbtree -N"),
            QStringLiteral("cp -r ~/test ~/test2"),
            QStringLiteral("ss -tuna"),
            QStringLiteral("getent hosts www.debian.org"),
            QStringLiteral("ip neigh show"),
            QStringLiteral("ip neigh flush all")};
}

QString InitialConsoleCommand() {
    return QStringLiteral("tracert www.debian.org");
}

}  // namespace sondrel
