#pragma once

#include <sys/resource.h>

#include <csignal>

namespace sondrel::testing {

// Limits the size of files this process may write, for as long as it lives (a full disk that
// binds root too). Writes past the limit fail instead of raising SIGXFSZ.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved_;
        small.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool active() const { return active_; }

  private:
    rlimit saved_{};
    void (*oldHandler_)(int) = SIG_DFL;
    bool active_ = false;
};

}  // namespace sondrel::testing
