#include "core/platform/environment.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>
#include <vector>

namespace marlo::platform {

namespace {

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string PasswordHome() {
  long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buf(size > 0 ? static_cast<size_t>(size) : 16384);
  struct passwd pw {};
  struct passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &pw, buf.data(), buf.size(), &found) != 0 || !found ||
      !found->pw_dir)
    return {};
  return found->pw_dir;
}

bool IsExecutableFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

} // namespace

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  std::string path = home && home[0] == '/' ? std::string(home) : PasswordHome();
  return path.empty() ? "/" : WithoutTrailingSlash(path);
}

std::string FindProgramOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (!path || program.empty() || program.find('/') != std::string::npos) return {};
  std::string_view rest(path);
  while (true) {
    size_t colon = rest.find(':');
    std::string_view folder = rest.substr(0, colon);
    if (!folder.empty() && folder.front() == '/') {
      std::string candidate = WithoutTrailingSlash(std::string(folder)) + "/" + program;
      if (candidate.starts_with("//")) candidate.erase(0, 1);
      if (IsExecutableFile(candidate)) return candidate;
    }
    if (colon == std::string_view::npos) return {};
    rest.remove_prefix(colon + 1);
  }
}

} // namespace marlo::platform
