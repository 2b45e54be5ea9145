#pragma once
// Scratch folders and small file helpers for tests that touch the disk.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace marlo::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "marlo-test-XXXXXX").string();
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!::mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
    path_ = buf.data();
  }
  ~TempDir() {
    std::error_code ec;
    // Folders a test made read-only must be writable again before they can be emptied.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
      if (it->is_directory(ec) && !it->is_symlink(ec)) ::chmod(it->path().c_str(), 0700);
    }
    ::chmod(path_.c_str(), 0700);
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  // The names in the folder, sorted.
  std::vector<std::string> Names(const std::string& sub = "") const {
    std::vector<std::string> names;
    for (const auto& e :
         std::filesystem::directory_iterator(sub.empty() ? path_ : path_ + "/" + sub))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

private:
  std::string path_;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline unsigned Mode(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return 0;
  return st.st_mode & 07777;
}

inline bool IsSymlink(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

// Runs `fn` as an ordinary user so that file permissions apply even when the tests run as
// root: then it forks and the child drops to the "nobody" user. Returns what `fn` returned
// (0 to 99), or -1 when the child could not run it.
inline int RunUnprivileged(const std::function<int()>& fn) {
  if (::geteuid() != 0) return fn();
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    int code = 100;
    try {
      if (::setgid(65534) == 0 && ::setuid(65534) == 0) code = fn();
    } catch (...) {
      code = 101;
    }
    ::_exit(code);
  }
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status) >= 100 ? -1 : WEXITSTATUS(status);
}

// Makes the folder `sub` of `dir` read-only, its parent passable, and runs `fn` as
// RunUnprivileged does.
inline int RunInReadOnlyFolder(const TempDir& dir, const std::string& sub,
                               const std::function<int()>& fn) {
  if (::chmod(dir.Path().c_str(), 0755) != 0 || ::chmod((dir / sub).c_str(), 0555) != 0) return -1;
  return RunUnprivileged(fn);
}

// What the E that `fn` raises says, or nothing when it raises none.
template <class E> std::optional<std::string> Raised(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const E& e) {
    return e.what();
  }
  return std::nullopt;
}

} // namespace marlo::test
