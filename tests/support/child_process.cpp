#include "tests/support/child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>

extern char** environ;

namespace child_process {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// The child writes into anonymous temporary files rather than pipes: two pipes would need a
// poll loop so that a full one cannot stall the child while the other is read.
File TemporaryFile() {
  File file(std::tmpfile());
  if (file == nullptr) throw std::runtime_error("tmpfile: " + std::string(std::strerror(errno)));
  return file;
}

std::string ReadAll(std::FILE* file) {
  std::rewind(file);
  std::string bytes;
  char buffer[4096];
  size_t count;
  while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, count);
  return bytes;
}

// posix_spawn's file actions, destroyed on every path.
class FileActions {
 public:
  FileActions() { posix_spawn_file_actions_init(&actions_); }
  FileActions(const FileActions&) = delete;
  FileActions& operator=(const FileActions&) = delete;
  ~FileActions() { posix_spawn_file_actions_destroy(&actions_); }
  posix_spawn_file_actions_t* get() { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
};

bool IsUnset(const char* entry, const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    if (std::strncmp(entry, name.c_str(), name.size()) == 0 && entry[name.size()] == '=') {
      return true;
    }
  }
  return false;
}

}  // namespace

Outcome Run(const std::filesystem::path& program, const std::vector<std::string>& arguments,
            const Options& options) {
  File out = TemporaryFile(), err = TemporaryFile();
  FileActions actions;
  posix_spawn_file_actions_addopen(actions.get(), 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(actions.get(), fileno(out.get()), 1);
  posix_spawn_file_actions_adddup2(actions.get(), fileno(err.get()), 2);
  if (!options.workingDirectory.empty()) {
    posix_spawn_file_actions_addchdir_np(actions.get(), options.workingDirectory.c_str());
  }

  std::vector<char*> argv;
  std::string programText = program.string();
  argv.push_back(programText.data());
  std::vector<std::string> copies(arguments);
  for (std::string& argument : copies) argv.push_back(argument.data());
  argv.push_back(nullptr);

  std::vector<char*> envp;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    if (!IsUnset(*entry, options.unsetVariables)) envp.push_back(*entry);
  }
  envp.push_back(nullptr);

  pid_t child;
  const int error =
      posix_spawn(&child, programText.c_str(), actions.get(), nullptr, argv.data(), envp.data());
  if (error != 0) {
    throw std::runtime_error("posix_spawn " + programText + ": " + std::strerror(error));
  }
  int status;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) throw std::runtime_error("waitpid: " + std::string(std::strerror(errno)));
  }
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadAll(out.get()), ReadAll(err.get())};
}

}  // namespace child_process
