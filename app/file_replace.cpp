#include "app/file_replace.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace adequacy {
namespace {

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

}  // namespace

bool ReplaceFile(const std::string& path, const std::string& text,
                 std::string* error) {
  // A device, a pipe or a directory is never renamed over: with the right
  // to do so (as root), /dev/null would become a file of the text.
  struct stat target;
  if (stat(path.c_str(), &target) == 0 && !S_ISREG(target.st_mode)) {
    *error = "not a regular file; give the name of a file to write";
    return false;
  }
  // A fresh name beside the file, made by this call alone: a name planted
  // in a shared directory, a link to another file say, is never opened.
  std::string part = path + ".XXXXXX";
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
  if (done && std::rename(part.c_str(), path.c_str()) == 0) return true;
  if (done) saved = errno;
  unlink(part.c_str());
  *error = std::strerror(saved);
  return false;
}

}  // namespace adequacy
