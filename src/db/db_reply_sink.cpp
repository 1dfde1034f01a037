#include "db/db_reply_sink.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <optional>
#include <vector>

#include "db/db_connection.h"
#include "db/default_database.h"
#include "db/quiet_messages.h"
#include "db/reply_row.h"

namespace sondrel {

namespace {

struct QueuedRow {
    ReplyRecord record;
    qint32 target = 0;
};

}  // namespace

// What the run and its writer share: the rows waiting, the end of the run, the failed count.
struct DbReplySink::Shared {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<QueuedRow> queue;
    bool done = false;
    std::atomic<qint32> failed{0};
    std::atomic<qint32> overflowed{0};  // of `failed`: rows that found the queue full
    DbSetup setup;
    QString dataFolder;
    QStringList names;  // the row name of every target of the run
    QString lastError;  // why the last refused row was refused; set when the writer ends
};

namespace {

// A prepared insert that binds only what changed: the query keeps its bound values from one
// execution to the next, and binding a value costs Qt far more than comparing two short texts
// (most values of a row equal those of the row before).
class PreparedInsert {
  public:
    PreparedInsert(const QSqlDatabase& db, const DbSetup& setup, int rows)
        : query_(db), text_(InsertStatementText(db, setup, rows)), places_(size_t(rows) * 8) {
        query_.setForwardOnly(true);
    }

    // Prepares the statement once; false (and the database's words in `error`) when it cannot.
    bool prepare(QString& error) {
        if (prepared_)
            return true;
        prepared_ = query_.prepare(text_);
        if (!prepared_)
            error = DbErrorText(query_.lastError());
        bound_.assign(places_, std::nullopt);
        return prepared_;
    }
    void bind(int position, const QString& value) {
        std::optional<QString>& kept = bound_[size_t(position)];
        if (kept && kept->isNull() == value.isNull() && *kept == value)
            return;
        query_.bindValue(position, value);
        kept = value;
    }
    bool exec(QString& error) {
        if (query_.exec())
            return true;
        error = DbErrorText(query_.lastError());
        return false;
    }

  private:
    QSqlQuery query_;
    QString text_;
    size_t places_;
    bool prepared_ = false;
    std::vector<std::optional<QString>> bound_;  // what each place holds now
};

// The writer's side: one connection, the prepared inserts, rows in transactions. Inside a
// transaction the rows go in statements of many rows each, so that a far server costs one
// round trip per statement rather than per row.
class RowWriter {
  public:
    RowWriter(const QSqlDatabase& db, DbReplySink::Shared& shared)
        : db_(db),
          shared_(shared),
          one_(db, shared.setup, 1),
          many_(db, shared.setup, int(DbReplySink::StatementRows)) {
        transactions_ = db.driver()->hasFeature(QSqlDriver::Transactions);
    }

    // Until the run has ended and every row is written or counted.
    void run() {
        std::vector<QueuedRow> batch;
        while (take(batch))
            write(batch);
    }
    // The database's words for the last row it refused; empty when it refused none.
    QString lastError() const { return lastError_; }

  private:
    bool take(std::vector<QueuedRow>& batch) {
        batch.clear();
        std::unique_lock lock(shared_.mutex);
        shared_.wake.wait(lock, [this] { return !shared_.queue.empty() || shared_.done; });
        const auto count = std::min(shared_.queue.size(), size_t(DbReplySink::BatchRows));
        batch.assign(shared_.queue.begin(), shared_.queue.begin() + qsizetype(count));
        shared_.queue.erase(shared_.queue.begin(), shared_.queue.begin() + qsizetype(count));
        return !batch.empty();
    }

    // One transaction for the batch; when any row of it fails, the batch is rolled back and
    // every row written on its own, so that exactly the refused rows are counted.
    void write(const std::vector<QueuedRow>& batch) {
        if (batch.size() > 1 && transactions_ && db_.transaction()) {
            if (insertAll(batch) && db_.commit())
                return;
            db_.rollback();
        }
        for (const QueuedRow& row : batch) {
            if (!insertOne(row))
                shared_.failed.fetch_add(1);
        }
    }

    bool insertAll(const std::vector<QueuedRow>& batch) {
        const size_t many = size_t(DbReplySink::StatementRows);
        size_t i = 0;
        for (; i + many <= batch.size(); i += many) {
            if (!insertMany(&batch[i]))
                return false;
        }
        for (; i < batch.size(); ++i) {
            if (!insertOne(batch[i]))
                return false;
        }
        return true;
    }

    bool insertMany(const QueuedRow* rows) {
        if (!many_.prepare(lastError_))
            return false;
        int position = 0;
        for (qsizetype r = 0; r < DbReplySink::StatementRows; ++r) {
            fill(rows[r]);
            for (const QString& value : values_)
                many_.bind(position++, value);
        }
        return many_.exec(lastError_);
    }

    bool insertOne(const QueuedRow& row) {
        if (!one_.prepare(lastError_))
            return false;
        fill(row);
        for (int i = 0; i < int(values_.size()); ++i)
            one_.bind(i, values_[size_t(i)]);
        return one_.exec(lastError_);
    }

    void fill(const QueuedRow& row) {
        formatter_.fill(row.record, shared_.names.value(row.target), values_);
    }

    QSqlDatabase db_;
    DbReplySink::Shared& shared_;
    PreparedInsert one_, many_;
    ReplyRowFormatter formatter_;
    RowValues values_;
    QString lastError_;
    bool transactions_ = false;
};

void RunWriter(DbReplySink::Shared& shared, std::promise<QString>& opened) {
    // The drivers print a line for every refused statement: the count says it all.
    QuietMessages quiet;
    ScopedDatabase db(ConnectionForSetup(shared.setup, shared.dataFolder));
    opened.set_value(db.error());
    if (!db.isOpen())
        return;
    if (IsDefaultDatabase(shared.setup, shared.dataFolder))
        UseLogJournal(db.database());
    RowWriter writer(db.database(), shared);
    writer.run();
    shared.lastError = writer.lastError();
}

// The writer's connection: at once for a local file; a far server may take up to its login
// time-out, during which the window stays painted and its timers run (user input waits).
QString WaitOpened(std::future<QString>& result) {
    using namespace std::chrono_literals;
    QCoreApplication* app = QCoreApplication::instance();
    if (result.wait_for(100ms) != std::future_status::ready && app != nullptr &&
        QThread::currentThread() == app->thread()) {
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (result.wait_for(0ms) == std::future_status::ready)
                loop.quit();
        });
        poll.start(10);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    return result.get();
}

}  // namespace

QString FailureSummary(qint32 failed, qint32 overflowed, const QString& lastError) {
    QString text = QStringLiteral("Database logging: %1 rows not written").arg(failed);
    if (overflowed > 0)
        text += QStringLiteral(", %1 of them while %2 rows waited for the database")
                    .arg(overflowed)
                    .arg(DbReplySink::MaxQueuedRows);
    if (const QString words = lastError.simplified(); !words.isEmpty())
        text += QStringLiteral("; the last refusal: ") + words;
    return text;
}

DbReplySink::DbReplySink(DbSetup setup, QString dataFolder, UserPrompts& prompts)
    : setup_(std::move(setup)), dataFolder_(std::move(dataFolder)), prompts_(prompts) {}

DbReplySink::~DbReplySink() {
    close();
}

QString DbReplySink::create(const RunLogHeader&, const ExpandedTargets& targets) {
    close();
    shared_ = std::make_shared<Shared>();
    shared_->setup = setup_;
    shared_->dataFolder = dataFolder_;
    for (int i = 0; i < targets.count(); ++i)
        shared_->names << CurrentTargetName(targets.targetTitle.value(i), targets.targetShow[i]);
    auto opened = std::make_shared<std::promise<QString>>();
    std::future<QString> result = opened->get_future();
    writer_.reset(QThread::create([shared = shared_, opened] { RunWriter(*shared, *opened); }));
    writer_->start();
    const QString error = WaitOpened(result);
    if (!error.isEmpty()) {
        writer_->wait();
        writer_.reset();
        prompts_.message(error, MessageIcon::Critical);
        return {};
    }
    connected_ = true;
    return {};
}

QString DbReplySink::append(const ReplyRecord& record, qint32 target) {
    if (!connected_)
        return {};
    bool wasEmpty = false;
    {
        std::lock_guard lock(shared_->mutex);
        if (qsizetype(shared_->queue.size()) >= MaxQueuedRows) {
            shared_->failed.fetch_add(1);
            shared_->overflowed.fetch_add(1);
            return {};
        }
        wasEmpty = shared_->queue.empty();
        shared_->queue.push_back({record, target});
    }
    if (wasEmpty)
        shared_->wake.notify_one();
    return {};
}

QString DbReplySink::close() {
    connected_ = false;
    if (!writer_)
        return {};
    {
        std::lock_guard lock(shared_->mutex);
        shared_->done = true;
    }
    shared_->wake.notify_one();
    QCoreApplication* app = QCoreApplication::instance();
    if (app != nullptr && QThread::currentThread() == app->thread() && !writer_->isFinished()) {
        QEventLoop loop;
        QObject::connect(writer_.get(), &QThread::finished, &loop, &QEventLoop::quit);
        if (!writer_->isFinished())
            loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    writer_->wait();
    writer_.reset();
    // One line for the whole run; the stop shows the count to the operator.
    if (const qint32 failed = shared_->failed.load(); failed > 0)
        qWarning().noquote() << FailureSummary(failed, shared_->overflowed.load(),
                                               shared_->lastError);
    return {};
}

qint32 DbReplySink::failedCount() const {
    return shared_ ? shared_->failed.load() : 0;
}

}  // namespace sondrel
