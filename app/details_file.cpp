#include "app/details_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "app/version.h"
#include "montecarlo/chain.h"
#include "report/usage.h"

namespace adequacy {
namespace {

constexpr char kReportFile[] = "OP";

// The permissions a file created with mode 0666 gets under this process's
// umask, which mkstemp's 0600 does not follow.
mode_t CreationMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Writes all of `text` to `fd`.
bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) {
      if (wrote == 0) errno = ENOSPC;
      return false;
    }
    done += static_cast<size_t>(wrote);
  }
  return true;
}

// Why `path` must not be the companion file, or empty if it may be.
std::string Refusal(const std::string& path) {
  struct stat file;
  if (stat(path.c_str(), &file) != 0) return "";
  if (!S_ISREG(file.st_mode)) return "not a regular file";
  struct stat report;
  if (stat(kReportFile, &report) == 0 && report.st_dev == file.st_dev &&
      report.st_ino == file.st_ino) {
    return "it is the report file OP";
  }
  return "";
}

}  // namespace

bool DetailsFile::Create(const std::string& path) {
  content_.version = kVersion;
  content_.seed = InitialChainState().seed;
  content_.started = std::time(nullptr);
  std::string error = Refusal(path);
  if (error.empty()) {
    path_ = path;
    if (Rewrite(DetailsJson(content_), &error)) return true;
  }
  path_.clear();
  WriteText(stderr, DetailsFailureText(path, error));
  return false;
}

void DetailsFile::Save() {
  if (!wanted()) return;
  std::string error;
  if (Rewrite(DetailsJson(content_), &error) || failed_) return;
  failed_ = true;
  WriteText(stderr, DetailsFailureText(path_, error));
}

bool DetailsFile::Rewrite(const std::string& text, std::string* error) {
  // A fresh name beside the file, made by this call alone: a name planted
  // in a shared directory, a link to another file say, is never opened.
  // The file itself is only ever replaced whole, by the rename, so a
  // reader finds the last whole document at every moment, and a failed
  // rewrite leaves it as it was.
  std::string part = path_ + ".XXXXXX";
  const int fd = mkstemp(part.data());
  if (fd < 0) {
    *error = std::strerror(errno);
    return false;
  }
  bool done = fchmod(fd, CreationMode()) == 0 && WriteAll(fd, text);
  int saved = errno;
  if (close(fd) != 0 && done) {
    done = false;
    saved = errno;
  }
  if (done && std::rename(part.c_str(), path_.c_str()) == 0) return true;
  if (done) saved = errno;
  unlink(part.c_str());
  *error = std::strerror(saved);
  return false;
}

}  // namespace adequacy
