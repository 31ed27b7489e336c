#include "report/channel.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <string>

namespace adequacy {
namespace {

constexpr char kReportFileName[] = "OP";

bool IsRegularFile(int fd) {
  struct stat status;
  return fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
}

// Opens OP without waiting: a FIFO with no reader fails at once instead of
// blocking the open.  Returns -1 on failure.
int OpenWithoutWaiting() {
  const int fd =
      open(kReportFileName, O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  const int flags = fcntl(fd, F_GETFL);
  if (flags == -1 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1) {
    close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

void Channel::Write(const Record& record) {
  std::string line = record.text();
  line += "\r\n";
  const bool written =
      std::fwrite(line.data(), 1, line.size(), file_) == line.size() &&
      std::fflush(file_) == 0;
  if (!written) {
    if (take_back_) TakeBackPartialRecord();
    Stop(Failure::kWriteError, site_);
  }
  written_ += static_cast<int64_t>(line.size());
  if (record.overflow()) WarnOutputConversion(site_);
}

void Channel::TakeBackPartialRecord() {
  const int fd = fileno(file_);
  if (fd >= 0 && IsRegularFile(fd)) {
    // Nothing else can be done about a file that cannot be cut back; the
    // stop that follows says the write failed.
    (void)ftruncate(fd, static_cast<off_t>(written_));
  }
}

Channel OpenReportFile() {
  // A write beyond the file-size limit then fails like a full disk, with
  // a diagnostic, instead of killing the process part way through a record.
  std::signal(SIGXFSZ, SIG_IGN);
  const int fd = OpenWithoutWaiting();
  if (fd < 0) Stop(Failure::kOpenFailure, kReportFile);
  // Held until the process ends, so that a second run in this directory
  // cannot interleave its records with this one's.  The file is emptied
  // only once the hold is had, so the other run's report stays whole.
  // Where the file system has no locks the run goes on without one.
  if (flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    close(fd);
    Stop(Failure::kOpenFailure, kReportFile);
  }
  if (IsRegularFile(fd) && ftruncate(fd, 0) != 0) {
    close(fd);
    Stop(Failure::kOpenFailure, kReportFile);
  }
  std::FILE* file = fdopen(fd, "wb");
  if (file == nullptr) {
    close(fd);
    Stop(Failure::kOpenFailure, kReportFile);
  }
  // Unbuffered: each record goes out in one write of its own, and nothing
  // of a failed one is left in a buffer to be written at exit.
  std::setvbuf(file, nullptr, _IONBF, 0);
  return Channel(file, kReportFile, /*take_back=*/true);
}

Channel ConsoleChannel() { return Channel(stdout, kConsoleOutput); }

}  // namespace adequacy
