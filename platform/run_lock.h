#pragma once
// Keeping two runs of a program from overlapping.

#include <cstdint>
#include <filesystem>
#include <string>

namespace platform {

// Held from construction to destruction when `held()`: an exclusive flock on the file
// "agent.lock" of the state folder (a named mutex derived from the folder on Windows). Never
// waits: a second holder is told at once. The lock goes with the process, however it ends.
class RunLock {
 public:
  explicit RunLock(const std::filesystem::path& stateFolder);
  RunLock(const RunLock&) = delete;
  RunLock& operator=(const RunLock&) = delete;
  ~RunLock();

  bool held() const { return held_; }
  // Empty when another run holds the lock; the system's reason when it could not be asked for.
  const std::string& why() const { return why_; }

 private:
  std::intptr_t handle_ = -1;
  bool held_ = false;
  std::string why_;
};

}  // namespace platform
