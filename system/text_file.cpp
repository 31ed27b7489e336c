#include "system/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace adequacy {
namespace {

bool ReadAll(int fd, std::string* text, std::string* reason) {
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      *reason = std::strerror(errno);
      return false;
    }
    if (got == 0) return true;
    if (static_cast<int64_t>(text->size()) + got > kLargestInputFile) {
      *reason = "larger than 1 GB";
      return false;
    }
    text->append(buffer, static_cast<size_t>(got));
  }
}

}  // namespace

bool ReadTextFile(const std::string& path, std::string* text,
                  std::string* reason) {
  text->clear();
  // Non-blocking open, so that a FIFO with no writer does not hang here.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    *reason = std::strerror(errno);
    return false;
  }
  struct stat file;
  bool done = false;
  if (fstat(fd, &file) != 0) {
    *reason = std::strerror(errno);
  } else if (S_ISDIR(file.st_mode)) {
    *reason = "a directory, not a file";
  } else if (!S_ISREG(file.st_mode) && !S_ISFIFO(file.st_mode)) {
    *reason = "not a regular file";
  } else {
    // A pipe is read blocking from here on: its writer is there.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    done = ReadAll(fd, text, reason);
  }
  close(fd);
  return done;
}

}  // namespace adequacy
