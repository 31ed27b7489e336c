#include "app/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace adequacy {

void OpenClosedStandardStreams() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    // The lowest free descriptor is this one, as those below it are open.
    const int opened = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (opened > fd) close(opened);  // Cannot happen; keep nothing stray.
  }
}

}  // namespace adequacy
