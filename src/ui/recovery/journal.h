#pragma once
// The recovery journal: every modified document keeps a file that alone rebuilds its text
// after a crash, a kill or a power cut, losing at most the last second of typing.
//
// A journal is a header, a snapshot of the text, then the store's edits in frames of one
// change each, with state records (caption, caret, bookmarks, time of the last change) in
// between. Every record carries its length and a checksum: a torn or damaged tail is
// dropped and everything before it recovered. Plain C++ and POSIX, no Qt: marlo-cli reads
// journals with the same code.
#include "core/platform/file_identity.h"
#include "core/text/line_store_recorder.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace marlo {
class TCustomMemoSource;
}

namespace marlo::recovery {

// MARLO_RECOVERY_DIR when set and not empty, else $XDG_STATE_HOME/marlo/recovery, else
// $HOME/.local/state/marlo/recovery.
std::string RecoveryFolder();

struct TBookmarkMark {
  int Index = 0;
  int Line = 0;
  int Column = 0;
  bool operator==(const TBookmarkMark&) const = default;
};

struct TJournalState {
  std::string Caption; // absolute path, or the untitled name
  bool Untitled = false;
  int CharSet = 0;   // the editor's character set (selects the code page)
  int OutFormat = 0; // TOutFormatType: line ends as Save writes them
  bool ExcludeReadOnlyLines = false;
  int CaretLine = 0, CaretColumn = 0;
  std::vector<TBookmarkMark> Bookmarks;
  platform::TFileIdentity DiskFile; // the file when the journal began (Exists false when untitled)
  bool operator==(const TJournalState& other) const;
};

// Keeps the journal of one document. Everything the UI thread does is a copy into memory;
// a worker thread of its own writes the journal out within about 100 ms of getting the
// edits and syncs it to disk at most once a second. Edits reach the worker with a later
// change, SetState or Flush: call SetState about twice a second, so that the last of
// the typing is written too. Must be destroyed (or Removed) before the source.
class TJournalWriter {
public:
  // Starts a new journal in `folder` (made when missing, mode 0700) for the text of
  // `source` as it stands now, and records every later change of the store until Remove or
  // destruction. Holds the journal's lock meanwhile. Raises Error when the folder or the
  // file cannot be made.
  TJournalWriter(const std::string& folder, TCustomMemoSource& source, const TJournalState& state);
  // Detaches from the source, writes and syncs what is pending, releases the lock and
  // keeps the file.
  ~TJournalWriter();
  TJournalWriter(const TJournalWriter&) = delete;
  TJournalWriter& operator=(const TJournalWriter&) = delete;

  // The caption, caret or bookmarks changed: written with the next flush, skipped when equal.
  // Hands the edits kept so far to the worker.
  void SetState(const TJournalState& state);
  // Detaches and deletes the journal (the document was saved, closed or discarded).
  void Remove();
  // Waits until everything recorded so far is written, and synced with `sync`.
  void Flush(bool sync = false);
  const std::string& Path() const;
  // The file's name without folder and extension.
  std::string Id() const;
  // An I/O error met since the last call (a full disk, a folder gone), once; empty when none.
  // Editing goes on: the writer tries again with the next flush.
  std::string TakeError();
  // The bytes written to the journal so far, fresh snapshots included.
  uint64_t BytesWritten() const;

  // A journal is rewritten as a fresh snapshot once its edits outgrow the text by this much.
  static inline size_t CompactionSlack = size_t(1) << 20;

private:
  class TImpl;
  std::unique_ptr<TImpl> impl_;
};

enum class TJournalStatus { Ok, Live, Unreadable };

struct TJournalEntry {
  std::string Id, Path;
  TJournalStatus Status = TJournalStatus::Ok;
  std::string Caption;
  int Lines = 0;
  int64_t LastChangeMs = 0; // unix ms UTC
  std::string Reason;       // why unreadable
};

// The journals in `folder`, by time of the last change, then id; a missing folder gives
// none. Live: another open file holds the journal's lock (a writer of this process too).
std::vector<TJournalEntry> ListJournals(const std::string& folder);

struct TRecoveredText {
  TJournalState State;
  std::vector<std::string> Lines;
  int64_t LastChangeMs = 0;
  bool TornTail = false; // bytes after the last whole record were dropped
};

// Raises Error when the journal cannot be read (not a journal, a newer format, no whole
// snapshot).
TRecoveredText ReadJournal(const std::string& path);
TRecoveredText ParseJournal(std::string_view bytes);
// The bytes Save would write for the text.
std::string SavedBytes(const TRecoveredText& text);
// Deletes the journal and its lock; false when it is live or cannot be deleted.
bool DiscardJournal(const std::string& path);

// The journal file of `id` in `folder`; empty when the id is not a plain file name.
std::string JournalPath(const std::string& folder, const std::string& id);

} // namespace marlo::recovery
