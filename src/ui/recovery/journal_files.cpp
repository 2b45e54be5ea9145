// Where journals live, their names and locks, listing and discarding them.
#include "ui/recovery/journal_files.h"

#include "core/error.h"
#include "core/platform/environment.h"
#include "core/platform/file_system.h"
#include "ui/recovery/journal.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace marlo::recovery {

namespace files {

void MakeFolder(const std::string& folder) {
  if (folder.empty()) throw Error("No folder for the recovery journals");
  struct stat st {};
  if (::stat(folder.c_str(), &st) == 0) {
    if (!S_ISDIR(st.st_mode)) platform::RaiseFileError("Can't make folder", folder, ENOTDIR);
    return;
  }
  const size_t slash = folder.find_last_of('/');
  if (slash != std::string::npos && slash > 0) MakeFolder(folder.substr(0, slash));
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
    platform::RaiseFileError("Can't make folder", folder, errno);
}

namespace {

std::string NewId(int attempt) {
  static std::atomic<unsigned> counter{0};
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &utc);
  return std::string(stamp) + "-" + std::to_string(::getpid()) + "-" +
         std::to_string(counter.fetch_add(1) + static_cast<unsigned>(attempt));
}

} // namespace

TNewJournal CreateJournal(const std::string& folder) {
  for (int attempt = 0; attempt < 1000; ++attempt) {
    TNewJournal j;
    j.Id = NewId(attempt);
    j.Path = folder + "/" + j.Id + kJournalExtension;
    j.LockPath = folder + "/" + j.Id + kLockExtension;
    // The lock first: a journal without a held lock is one left behind.
    j.LockFd = ::open(j.LockPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (j.LockFd < 0 && errno == EEXIST) continue;
    if (j.LockFd < 0) platform::RaiseFileError("Can't create file", j.LockPath, errno);
    if (::flock(j.LockFd, LOCK_EX | LOCK_NB) != 0) {
      const int err = errno;
      ::close(j.LockFd);
      ::unlink(j.LockPath.c_str());
      platform::RaiseFileError("Can't lock file", j.LockPath, err);
    }
    j.Fd = ::open(j.Path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (j.Fd >= 0) return j;
    const int err = errno;
    ::close(j.LockFd);
    ::unlink(j.LockPath.c_str());
    if (err != EEXIST) platform::RaiseFileError("Can't create file", j.Path, err);
  }
  throw Error("Can't find a free name for a recovery journal in " + folder);
}

std::string LockPathOf(const std::string& journalPath) {
  std::string base = journalPath;
  const std::string ext = kJournalExtension;
  if (base.size() >= ext.size() && base.compare(base.size() - ext.size(), ext.size(), ext) == 0)
    base.resize(base.size() - ext.size());
  return base + kLockExtension;
}

bool IsLive(const std::string& journalPath) {
  const int fd = ::open(LockPathOf(journalPath).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  // A shared lock: two programs listing at once do not take each other for writers.
  const bool live = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);
  return live;
}

} // namespace files

std::string RecoveryFolder() {
  if (const char* dir = std::getenv("MARLO_RECOVERY_DIR"); dir && *dir) return dir;
  if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state)
    return std::string(state) + "/marlo/recovery";
  return platform::HomeFolder() + "/.local/state/marlo/recovery";
}

std::string JournalPath(const std::string& folder, const std::string& id) {
  if (id.empty() || id == "." || id.find("..") != std::string::npos ||
      id.find('/') != std::string::npos || id.find('\0') != std::string::npos)
    return {};
  return folder + "/" + id + files::kJournalExtension;
}

std::vector<TJournalEntry> ListJournals(const std::string& folder) {
  std::vector<TJournalEntry> list;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (!dir) return list;
  const std::string ext = files::kJournalExtension;
  while (const dirent* e = ::readdir(dir.get())) {
    const std::string name = e->d_name;
    if (name.size() <= ext.size() || name[0] == '.' ||
        name.compare(name.size() - ext.size(), ext.size(), ext) != 0)
      continue;
    TJournalEntry entry;
    entry.Id = name.substr(0, name.size() - ext.size());
    entry.Path = folder + "/" + name;
    struct stat st {};
    if (::stat(entry.Path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    const bool live = files::IsLive(entry.Path);
    try {
      TRecoveredText text = ReadJournal(entry.Path);
      entry.Status = live ? TJournalStatus::Live : TJournalStatus::Ok;
      entry.Caption = text.State.Caption;
      entry.Lines = static_cast<int>(text.Lines.size());
      entry.LastChangeMs = text.LastChangeMs;
    } catch (const Error& error) {
      entry.Status = live ? TJournalStatus::Live : TJournalStatus::Unreadable;
      entry.Reason = error.what();
    }
    if (entry.LastChangeMs == 0)
      entry.LastChangeMs =
          static_cast<int64_t>(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
    list.push_back(std::move(entry));
  }
  std::sort(list.begin(), list.end(), [](const TJournalEntry& a, const TJournalEntry& b) {
    return a.LastChangeMs != b.LastChangeMs ? a.LastChangeMs < b.LastChangeMs : a.Id < b.Id;
  });
  return list;
}

bool DiscardJournal(const std::string& path) {
  if (files::IsLive(path)) return false;
  if (::unlink(path.c_str()) != 0) return false;
  ::unlink(files::LockPathOf(path).c_str());
  return true;
}

} // namespace marlo::recovery
