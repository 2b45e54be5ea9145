#pragma once
// The files of a journal in its folder: ID.journal, and ID.lock, which the writer holds
// locked for as long as it writes (the journal itself is renamed over when it is
// rewritten, so it cannot carry the lock).
#include <string>

namespace marlo::recovery::files {

inline constexpr const char* kJournalExtension = ".journal";
inline constexpr const char* kLockExtension = ".lock";

// Makes the folder and its parents, new ones with mode 0700. Raises Error.
void MakeFolder(const std::string& folder);

struct TNewJournal {
  std::string Id, Path, LockPath;
  int Fd = -1;     // the empty journal, open for reading and appending
  int LockFd = -1; // the lock file, locked
};
// A journal of a new name, created empty, and its lock taken. Raises Error.
TNewJournal CreateJournal(const std::string& folder);

std::string LockPathOf(const std::string& journalPath);
// Whether another open file holds the lock of the journal.
bool IsLive(const std::string& journalPath);

} // namespace marlo::recovery::files
