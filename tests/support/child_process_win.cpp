#include "tests/support/child_process.h"

#include <windows.h>

#include <memory>
#include <stdexcept>

namespace child_process {

namespace {

// Closes a kernel handle when it goes out of scope.
struct HandleCloser {
  void operator()(HANDLE handle) const {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};
using Handle = std::unique_ptr<void, HandleCloser>;

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error(what + " failed with error " + std::to_string(GetLastError()));
}

std::wstring Wide(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end())).wstring();
}

// One argument as the C runtime's command-line parser splits it back: quoted when it holds
// blanks or quotes, backslashes doubled only where a quote follows them.
void AppendQuoted(std::wstring& line, const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    line += argument;
    return;
  }
  line += L'"';
  size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    line += c;
  }
  line.append(backslashes * 2, L'\\');
  line += L'"';
}

// A temporary file that the child inherits as its output and that disappears with the last
// handle; files, not pipes, so that neither stream can stall the child while the other is read.
HANDLE TemporaryFile(SECURITY_ATTRIBUTES& inherit) {
  wchar_t folder[MAX_PATH + 1];
  wchar_t name[MAX_PATH + 1];
  if (GetTempPathW(MAX_PATH + 1, folder) == 0) Fail("GetTempPathW");
  if (GetTempFileNameW(folder, L"vlm", 0, name) == 0) Fail("GetTempFileNameW");
  HANDLE file = CreateFileW(
      name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) Fail("CreateFileW");
  return file;
}

std::string ReadAll(HANDLE file) {
  if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) {
    Fail("SetFilePointer");
  }
  std::string bytes;
  char buffer[4096];
  DWORD count = 0;
  while (ReadFile(file, buffer, sizeof buffer, &count, nullptr) && count > 0) {
    bytes.append(buffer, count);
  }
  return bytes;
}

// The caller's environment block less the variables named (names compare without case, as
// Windows compares them).
std::wstring EnvironmentBlock(const std::vector<std::string>& unsetVariables) {
  std::wstring block;
  wchar_t* strings = GetEnvironmentStringsW();
  if (strings == nullptr) Fail("GetEnvironmentStringsW");
  for (const wchar_t* entry = strings; *entry != L'\0'; entry += wcslen(entry) + 1) {
    bool keep = true;
    for (const std::string& name : unsetVariables) {
      const std::wstring wide = Wide(name);
      if (_wcsnicmp(entry, wide.c_str(), wide.size()) == 0 && entry[wide.size()] == L'=') {
        keep = false;
      }
    }
    if (keep) block.append(entry).push_back(L'\0');
  }
  FreeEnvironmentStringsW(strings);
  block.push_back(L'\0');
  return block;
}

}  // namespace

Outcome Run(const std::filesystem::path& program, const std::vector<std::string>& arguments,
            const Options& options) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  Handle out(TemporaryFile(inherit)), err(TemporaryFile(inherit));
  Handle in(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                        OPEN_EXISTING, 0, nullptr));
  if (in.get() == INVALID_HANDLE_VALUE) Fail("CreateFileW NUL");

  const std::wstring programPath = std::filesystem::absolute(program).wstring();
  std::wstring line;
  AppendQuoted(line, programPath);
  for (const std::string& argument : arguments) {
    line += L' ';
    AppendQuoted(line, Wide(argument));
  }
  std::wstring environment = EnvironmentBlock(options.unsetVariables);
  const std::wstring folder = options.workingDirectory.wstring();

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in.get();
  startup.hStdOutput = out.get();
  startup.hStdError = err.get();
  PROCESS_INFORMATION process{};
  // The child shares the caller's console: with a console host of its own (CREATE_NO_WINDOW),
  // Wine keeps that host, and with it the child's working folder, for a moment after the
  // child has ended, and the folder could not be removed right away.
  if (!CreateProcessW(programPath.c_str(), line.data(), nullptr, nullptr, TRUE,
                      CREATE_UNICODE_ENVIRONMENT, environment.data(),
                      folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
    Fail("CreateProcessW " + program.string());
  }
  Handle child(process.hProcess), thread(process.hThread);
  WaitForSingleObject(child.get(), INFINITE);
  DWORD status = 0;
  if (!GetExitCodeProcess(child.get(), &status)) Fail("GetExitCodeProcess");
  return {static_cast<int>(status), ReadAll(out.get()), ReadAll(err.get())};
}

}  // namespace child_process
