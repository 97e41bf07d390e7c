#include "platform/run_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {

RunLock::RunLock(const std::filesystem::path& stateFolder) {
  const std::filesystem::path path = stateFolder / "agent.lock";
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0600);
  if (fd < 0) {
    why_ = path.string() + ": " + std::strerror(errno);
    return;
  }
  handle_ = fd;
  int status;
  do {
    status = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (status != 0 && errno == EINTR);
  held_ = status == 0;
  if (!held_ && errno != EWOULDBLOCK) why_ = path.string() + ": " + std::strerror(errno);
}

// Closing the descriptor releases the lock.
RunLock::~RunLock() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

}  // namespace platform
