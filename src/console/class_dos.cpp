#include "console/class_dos.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QEventLoop>
#include <QPointer>
#include <QSocketNotifier>
#include <QStringDecoder>
#include <QTimer>
#include <cerrno>
#include <thread>
#include <vector>

#include "console/command_words.h"

extern char** environ;

namespace sondrel {

namespace {

const QString EmptyCommandText = QStringLiteral("空命令行");
const QString PipeFailedText = QStringLiteral("CreatePipe 失败。错误:");
const QString NotFoundText = QStringLiteral("找不到文件或命令");

// Collects the child once it has ended, without holding up the window: it has usually ended
// already when its output ends, else a thread of its own waits for it.
void ReapChild(pid_t pid) {
    if (::waitpid(pid, nullptr, WNOHANG) != 0)
        return;
    std::thread([pid] { ::waitpid(pid, nullptr, 0); }).detach();
}

// Starts `words` with `writeEnd` as its standard output and error, nothing on its standard
// input, in a process group of its own and with the signals a shell would give it. Returns
// the child's pid, or 0.
pid_t Spawn(const QStringList& words, int writeEnd) {
    std::vector<QByteArray> encoded;
    for (const QString& word : words)
        encoded.push_back(word.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& word : encoded)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, writeEnd, 1);
    posix_spawn_file_actions_adddup2(&actions, writeEnd, 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(
        &attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    const int error = ::posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : 0;
}

}  // namespace

struct ClassDos::Run {
    QStringList words;
    int readEnd = -1;
    pid_t pid = 0;
    qint64 bytesRead = 0;
    QStringDecoder decoder{QStringDecoder::Utf8};
    QString all;          // everything read, kept here in case the instance goes away
    QString stopMessage;  // why the run was cut short; empty when it ran to its end
    bool done = false;
};

ClassDos::ClassDos(UserPrompts& prompts, QObject* parent) : QObject(parent), prompts_(prompts) {}

ClassDos::~ClassDos() = default;

QString ClassDos::ExecuteCommand(const QString& argument) {
    if (!argument.isEmpty())
        commandLine_ = argument;
    if (commandLine_.trimmed().isEmpty()) {
        prompts_.message(EmptyCommandText, MessageIcon::Critical);
        return {};
    }
    Run run;
    if (!startChild(run))
        return {};
    readLoop(run);
    return run.all;
}

bool ClassDos::startChild(Run& run) {
    const std::optional<QStringList> words = SplitCommandWords(commandLine_);
    if (!words || words->isEmpty()) {
        prompts_.message(NotFoundText, MessageIcon::Critical);
        return false;
    }
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        prompts_.message(PipeFailedText + QString::number(errno), MessageIcon::Critical);
        return false;
    }
    run.pid = Spawn(*words, ends[1]);
    // Only the child's copies of the write end stay open: the end of the data comes when the
    // child and everything that inherited them have closed them.
    ::close(ends[1]);
    if (run.pid == 0) {
        ::close(ends[0]);
        prompts_.message(NotFoundText, MessageIcon::Critical);
        return false;
    }
    ::fcntl(ends[0], F_SETFL, ::fcntl(ends[0], F_GETFL) | O_NONBLOCK);
    run.readEnd = ends[0];
    collected_.clear();
    return true;
}

void ClassDos::readLoop(Run& run) {
    running_ = true;
    QPointer<ClassDos> self(this);
    QEventLoop loop;
    QSocketNotifier notifier(run.readEnd, QSocketNotifier::Read);
    QTimer limit;
    limit.setSingleShot(true);
    auto finish = [&] {
        run.done = true;
        notifier.setEnabled(false);
        loop.quit();
    };
    UserPrompts& prompts = prompts_;
    const QString line = commandLine_;
    const qint64 outputLimit = outputLimitBytes_;
    const int timeLimit = timeLimitMs_;
    auto deliver = [&](QString chunk) {
        run.all += chunk;
        if (!self)
            return;
        collected_ += chunk;
        Q_EMIT ReceiveOutputs(chunk);
    };
    auto cutShort = [&](const QString& why) {
        ::kill(-run.pid, SIGKILL);
        run.stopMessage = why;
        finish();
    };
    QObject::connect(&notifier, &QSocketNotifier::activated, &loop, [&] {
        char bytes[ReadBytes];
        const ssize_t count = ::read(run.readEnd, bytes, sizeof bytes);
        if (count < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        if (count <= 0)
            return finish();
        run.bytesRead += count;
        deliver(run.decoder(QByteArrayView(bytes, count)));
        if (!run.done && run.bytesRead > outputLimit) {
            cutShort(QStringLiteral("命令输出超过 %1 字节，已结束：").arg(outputLimit) + line);
        }
    });
    QObject::connect(&limit, &QTimer::timeout, &loop, [&] {
        cutShort(QStringLiteral("命令运行超过 %1 秒，已结束：").arg(timeLimit / 1000.0) + line);
    });
    if (timeLimit > 0)
        limit.start(timeLimit);
    loop.exec();
    ::close(run.readEnd);
    ReapChild(run.pid);
    deliver(QString());
    if (self)
        running_ = false;
    if (!run.stopMessage.isEmpty())
        prompts.message(run.stopMessage, MessageIcon::Critical);
}

}  // namespace sondrel
