#include "common/system_resolver.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <QMetaObject>
#include <QMutex>
#include <QMutexLocker>
#include <QThread>
#include <memory>

#include "common/local_address.h"

namespace sondrel {

namespace {

QString dotted(const sockaddr* address) {
    char text[INET_ADDRSTRLEN] = {};
    const auto* in = reinterpret_cast<const sockaddr_in*>(address);
    if (!inet_ntop(AF_INET, &in->sin_addr, text, sizeof text))
        return {};
    return QString::fromLatin1(text);
}

}  // namespace

SystemResolver::SystemResolver() {
    pool_.setMaxThreadCount(MaxParallel);
}

SystemResolver::~SystemResolver() {
    pool_.waitForDone();
    // owner_ goes next and takes the delivery objects with it, so queued deliveries lapse.
}

QString SystemResolver::hostNameToAddress(const QString& name) {
    const QByteArray bytes = name.toUtf8();
    if (bytes.isEmpty() || bytes.contains('\0'))
        return {};
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;  // one entry per address instead of one per socket type
    addrinfo* list = nullptr;
    if (getaddrinfo(bytes.constData(), nullptr, &hints, &list) != 0 || !list)
        return {};
    const QString address = dotted(list->ai_addr);
    freeaddrinfo(list);
    return address;
}

QString SystemResolver::localHostAddress() {
    return FirstLocalIpv4Address();
}

void SystemResolver::resolveMany(const QStringList& names, std::function<void(Resolved)> done) {
    struct Batch {
        QMutex mutex;
        Resolved result;
        qsizetype left = 0;
        std::function<void(Resolved)> done;
        QObject* deliverer = nullptr;
    };
    auto batch = std::make_shared<Batch>();
    batch->done = std::move(done);
    // Delivery goes through an object of the calling thread, deleted once it has delivered.
    batch->deliverer = new QObject(QThread::currentThread() == owner_.thread() ? &owner_ : nullptr);
    auto deliver = [batch] {
        QObject* deliverer = batch->deliverer;
        QMetaObject::invokeMethod(
            deliverer,
            [batch, deliverer] {
                const Resolved result = batch->result;
                auto callback = std::move(batch->done);
                deliverer->deleteLater();
                callback(result);
            },
            Qt::QueuedConnection);
    };
    QStringList distinct = names;
    distinct.removeDuplicates();
    batch->left = distinct.size();
    if (distinct.isEmpty()) {
        deliver();
        return;
    }
    for (const QString& name : distinct) {
        pool_.start([this, batch, name, deliver] {
            const QString address = hostNameToAddress(name);
            QMutexLocker lock(&batch->mutex);
            batch->result.insert(name, address);
            if (--batch->left == 0)
                deliver();
        });
    }
}

}  // namespace sondrel
