#include "report/channel.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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
int OpenWithoutWaiting(int create) {
  const int fd =
      open(kReportFileName, O_WRONLY | O_NONBLOCK | O_CLOEXEC | create, 0666);
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

HeldReport HoldReportFile() {
  HeldReport held;
  // Opened without O_CREAT first, so that the run knows whether it made
  // the file and can take it away again if it stops before writing.
  // Another run may make it between the two; then it is opened as it is.
  for (int attempt = 0; attempt < 2 && held.fd < 0; ++attempt) {
    held.fd = OpenWithoutWaiting(0);
    if (held.fd >= 0 || errno != ENOENT) break;
    held.fd = OpenWithoutWaiting(O_CREAT | O_EXCL);
    held.created = held.fd >= 0;
    if (held.fd < 0 && errno != EEXIST) break;
  }
  if (held.fd < 0) Stop(Failure::kOpenFailure, kReportFile);
  // Held until the process ends, so that a second run in this directory
  // cannot interleave its records with this one's, nor touch anything of
  // this run's before it stops.  Where the file system has no locks the
  // run goes on without one.
  if (flock(held.fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    close(held.fd);
    Stop(Failure::kOpenFailure, kReportFile);
  }
  return held;
}

void ReleaseReportFile(const HeldReport& held) {
  if (held.created) unlink(kReportFileName);
  close(held.fd);
}

Channel StartReportFile(const HeldReport& held) {
  // Emptied only now that the hold is had, so another run's report stays
  // whole.
  if (IsRegularFile(held.fd) && ftruncate(held.fd, 0) != 0) {
    close(held.fd);
    Stop(Failure::kOpenFailure, kReportFile);
  }
  std::FILE* file = fdopen(held.fd, "wb");
  if (file == nullptr) {
    close(held.fd);
    Stop(Failure::kOpenFailure, kReportFile);
  }
  // Unbuffered: each record goes out in one write of its own, and nothing
  // of a failed one is left in a buffer to be written at exit.
  std::setvbuf(file, nullptr, _IONBF, 0);
  return Channel(file, kReportFile, /*take_back=*/true);
}

Channel ConsoleChannel() { return Channel(stdout, kConsoleOutput); }

}  // namespace adequacy
