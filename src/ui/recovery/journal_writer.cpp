// The journal writer. The UI thread only copies: each edit of the store is encoded into a
// buffer of its own, a replaced text into a frozen copy of the lines, and whole changes are
// handed over under a lock when the worker asks for them. The worker thread takes them,
// writes them as records within about 100 ms, syncs at most once a second, and rewrites the
// journal as a fresh snapshot when its edits outgrow the text or the text was replaced.
#include "core/error.h"
#include "core/platform/atomic_file_writer.h"
#include "core/platform/file_system.h"
#include "core/text/memo_source.h"
#include "ui/recovery/journal.h"
#include "ui/recovery/journal_files.h"
#include "ui/recovery/journal_format.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fcntl.h>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace marlo::recovery {

using namespace format;
using Clock = std::chrono::steady_clock;

namespace {

constexpr auto kBatchWindow = std::chrono::milliseconds(100);
// Whole changes are kept on the UI thread until the worker asks for them or there are this
// many bytes of them.
constexpr size_t kHandOverBytes = size_t(64) << 10;
constexpr auto kSyncInterval = std::chrono::seconds(1);
// Changes of more bytes than this are compared with the size of the text.
constexpr size_t kBigChange = size_t(1) << 20;

// The bytes of a snapshot of the text.
size_t TextBytes(const TInternalStrings& store) {
  size_t total = 0;
  for (int i = 0; i < store.Count(); ++i) total += 4 + store.Item(i).Length;
  return total;
}

// The first change of a document costs a short code for each line and a copy of the lines
// already edited; the worker reads the loaded lines' bytes where they are.
std::shared_ptr<const TFrozenLines> Freeze(const TInternalStrings& store) {
  return std::make_shared<const TFrozenLines>(store.Freeze());
}

std::string WriteError(const std::string& path, int err) {
  return "Can't write the recovery journal " + path + ": " + platform::SystemReason(err);
}

// Bytes appended with as little as a keystroke can afford: no checks but for room.
class TByteBuffer {
public:
  size_t Size() const { return size_; }
  const char* Data() const { return data_.get(); }
  void Clear() { size_ = 0; }
  // Room for n more bytes, to be written at the pointer returned.
  char* Extend(size_t n) {
    if (capacity_ - size_ < n) Grow(n);
    char* p = data_.get() + size_;
    size_ += n;
    return p;
  }

private:
  void Grow(size_t n) {
    size_t capacity = std::max(size_ + n, std::max<size_t>(capacity_ * 2, 4096));
    auto data = std::make_unique_for_overwrite<char[]>(capacity);
    if (size_ > 0) std::memcpy(data.get(), data_.get(), size_);
    data_ = std::move(data);
    capacity_ = capacity;
  }
  std::unique_ptr<char[]> data_;
  size_t size_ = 0, capacity_ = 0;
};

// Held for a few instructions at a time, by two threads.
class TSpinLock {
public:
  void lock() {
    while (flag_.test_and_set(std::memory_order_acquire)) std::this_thread::yield();
  }
  void unlock() { flag_.clear(std::memory_order_release); }

private:
  std::atomic_flag flag_ = ATOMIC_FLAG_INIT;
};

} // namespace

class TJournalWriter::TImpl final : public TLineStoreRecorder {
public:
  TImpl(const std::string& folder, TCustomMemoSource& source, const TJournalState& state)
      : source_(&source), slack_(CompactionSlack), state_(state) {
    files::MakeFolder(folder);
    files::TNewJournal created = files::CreateJournal(folder);
    path_ = created.Path;
    lockPath_ = created.LockPath;
    id_ = created.Id;
    fd_ = created.Fd;
    lockFd_ = created.LockFd;
    folder_ = folder;
    stateDirty_ = true;
    StageSnapshot();
    Commit();
    worker_ = std::thread([this] { Run(); });
    source_->SetEditRecorder(this);
  }

  ~TImpl() override { Stop(false); }

  // ---- The UI thread -----------------------------------------------------------------

  void Inserted(int line, std::string_view text) override {
    Record(opInsert, {Number(line), Number(text.size())}, text);
  }
  void Deleted(int line) override { Record(opDelete, {Number(line)}); }
  void TextSet(int line, std::string_view text) override {
    Record(opSet, {Number(line), Number(text.size())}, text);
  }
  void CharsInserted(int line, size_t pos, std::string_view chars) override {
    Record(opCharsInsert, {Number(line), Number(pos), Number(chars.size())}, chars);
  }
  void CharsErased(int line, size_t pos, size_t n) override {
    Record(opCharsErase, {Number(line), Number(pos), Number(n)});
  }
  void Appended(int line, std::string_view chars) override {
    Record(opAppend, {Number(line), Number(chars.size())}, chars);
  }
  void AllReplaced() override {
    StageSnapshot();
    Recorded();
  }
  void ChangeEnded() override { Ended(); }

  void SetState(const TJournalState& state) {
    HandOver();
    std::lock_guard lock(mutex_);
    if (state == state_) return;
    state_ = state;
    stateDirty_ = true;
    if (idle_) {
      idle_ = false;
      wake_.notify_one();
    }
  }

  void Flush(bool sync) {
    HandOver();
    std::unique_lock lock(mutex_);
    if (!worker_.joinable()) return;
    const uint64_t target = ++flushWanted_;
    syncWanted_ = syncWanted_ || sync;
    wake_.notify_one();
    done_.wait(lock, [&] { return flushDone_ >= target; });
  }

  void Remove() { Stop(true); }

  std::string TakeError() {
    std::lock_guard lock(mutex_);
    return std::exchange(error_, {});
  }

  const std::string& Path() const { return path_; }
  const std::string& Id() const { return id_; }
  uint64_t BytesWritten() const { return bytesWritten_.load(); }

private:
  // After an edit: outside a change of the model it is a step of its own.
  template <class T> static uint32_t Number(T n) { return static_cast<uint32_t>(n); }

  // One operation: its kind, its numbers and its bytes (this runs for every keystroke).
  void Record(uint8_t op, std::initializer_list<uint32_t> numbers, std::string_view bytes = {}) {
    char* p = local_.Extend(1 + 4 * numbers.size() + bytes.size());
    *p++ = static_cast<char>(op);
    for (uint32_t n : numbers) {
      std::memcpy(p, &n, 4); // little-endian, as the format says
      p += 4;
    }
    if (!bytes.empty()) std::memcpy(p, bytes.data(), bytes.size());
    Recorded();
  }

  void Recorded() {
    if (!source_->InChange()) Ended();
  }

  // A change ended: its edits go to the worker when it wants them (it asks after taking
  // each batch), so that a keystroke costs no atomic instruction while it writes the last.
  void Ended() {
    if (staged_ || (local_.Size() > 0 && (wantEdits_.load(std::memory_order_relaxed) ||
                                          local_.Size() >= kHandOverBytes)))
      Commit();
  }

  // Whatever whole changes are kept go to the worker.
  void HandOver() {
    if (source_ && !source_->InChange() && (local_.Size() > 0 || staged_)) Commit();
  }

  void StageSnapshot() {
    // Edits of the current change before the replacement are superseded by it.
    local_.Clear();
    staged_ = Freeze(source_->Strings());
  }

  // The edits recorded so far form whole steps: the worker may write them.
  void Commit() {
    // A change that rewrote more than the whole text (an indent of every line) is kept as
    // the text itself.
    if (local_.Size() > kBigChange && local_.Size() > TextBytes(source_->Strings()))
      StageSnapshot();
    {
      std::lock_guard edits(editsLock_);
      if (staged_) {
        snapshot_ = std::move(staged_);
        snapshotBase_ = pending_.size();
      }
      pending_.append(local_.Data(), local_.Size());
    }
    local_.Clear();
    wantEdits_.store(false, std::memory_order_relaxed);
    // One wake-up a batch, not one a keystroke: the worker wants one only while it waits
    // for work (it sets idle_ before it looks at pending_ a last time).
    if (idle_) {
      std::lock_guard lock(mutex_);
      if (idle_) {
        idle_ = false;
        wake_.notify_one();
      }
    }
  }

  void Stop(bool discard) {
    if (!discard) HandOver();
    if (source_) {
      if (source_->Strings().Recorder() == this) source_->SetEditRecorder(nullptr);
      source_ = nullptr;
    }
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
      discard_ = discard;
      wake_.notify_one();
    }
    if (worker_.joinable()) worker_.join();
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (discard && !removed_) {
      ::unlink(path_.c_str());
      ::unlink(lockPath_.c_str());
      removed_ = true;
    }
    if (lockFd_ >= 0) ::close(lockFd_); // releases the lock
    lockFd_ = -1;
  }

  // ---- The worker thread -------------------------------------------------------------

  struct TBatch {
    std::string Edits;
    std::shared_ptr<const TFrozenLines> Snapshot;
    bool HasState = false;
    TJournalState State;
  };

  bool HasWorkLocked() {
    if (stateDirty_) return true;
    std::lock_guard edits(editsLock_);
    return !pending_.empty() || snapshot_;
  }
  bool UrgentLocked() const { return stop_ || flushWanted_ > flushDone_; }

  TBatch TakeLocked() {
    TBatch batch;
    {
      std::lock_guard edits(editsLock_);
      batch.Edits.swap(pending_);
      pending_.swap(spare_); // the buffer of the last batch, with its room
      batch.Snapshot = std::move(snapshot_);
      if (batch.Snapshot) batch.Edits.erase(0, std::exchange(snapshotBase_, 0));
    }
    wantEdits_.store(true, std::memory_order_relaxed);
    if (stateDirty_) {
      batch.HasState = true;
      batch.State = state_;
      stateDirty_ = false;
    }
    return batch;
  }

  void Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
      if (stop_ && discard_) return;
      if (!HasWorkLocked() && !UrgentLocked()) {
        auto wanted = [&] { return HasWorkLocked() || UrgentLocked(); };
        idle_ = true;
        if (unsynced_) {
          if (!wake_.wait_until(lock, lastSync_ + kSyncInterval, wanted)) {
            idle_ = false;
            lock.unlock();
            Sync();
            lock.lock();
            continue;
          }
        } else {
          wake_.wait(lock, wanted);
        }
        idle_ = false;
        continue;
      }
      // Typing goes on for a while: what comes meanwhile joins this batch.
      if (!UrgentLocked()) wake_.wait_for(lock, kBatchWindow, [&] { return UrgentLocked(); });
      if (stop_ && discard_) return;
      TBatch batch = TakeLocked();
      const uint64_t flushTarget = flushWanted_;
      const bool sync = syncWanted_ || stop_;
      syncWanted_ = false;
      const bool last = stop_;
      lock.unlock();
      std::string edits = Write(std::move(batch));
      if (sync || Clock::now() - lastSync_ >= kSyncInterval) Sync();
      edits.clear();
      lock.lock();
      if (edits.capacity() <= 8 * kBigChange) {
        std::lock_guard guard(editsLock_);
        spare_.swap(edits);
      }
      flushDone_ = flushTarget;
      done_.notify_all();
      if (last && !HasWorkLocked()) return;
    }
  }

  static int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
  }

  // Returns the batch's buffer of edits, for the next batch.
  std::string Write(TBatch batch) {
    if (batch.HasState) latestState_ = std::move(batch.State);
    const bool stateChanged = !haveWrittenState_ || !(latestState_ == writtenState_);
    if (!batch.Edits.empty() || batch.Snapshot) lastChangeMs_ = NowMs();
    if (batch.Snapshot) {
      // A fresh file: whatever was waiting to be written is part of the old text.
      const TFrozenLines& lines = *batch.Snapshot;
      TFrozenLines::TReader reader(lines);
      unwritten_ = Fresh(lines.Count(), lines.TextBytes(), batch.Edits,
                         [&](uint64_t) { return reader.Next(); });
      unwrittenFresh_ = true;
      snapshotBytes_ = 4 * static_cast<size_t>(lines.Count()) + lines.TextBytes();
      batch.Snapshot.reset(); // the loaded text it shares may go now
      editBytes_ = batch.Edits.size();
    } else {
      if (!batch.Edits.empty()) {
        PutRecord(unwritten_, rkFrame, batch.Edits);
        editBytes_ += batch.Edits.size();
      }
      if (stateChanged) PutRecord(unwritten_, rkState, StatePayload(latestState_));
      if (!batch.Edits.empty()) PutTime(unwritten_);
    }
    writtenState_ = latestState_;
    haveWrittenState_ = true;
    WriteOut();
    if (unwritten_.empty() && editBytes_ > snapshotBytes_ + slack_) Compact();
    return std::move(batch.Edits);
  }

  template <class LineAt>
  std::string Fresh(uint64_t count, size_t textBytes, std::string_view edits,
                    const LineAt& lineAt) {
    std::string out = Header();
    const std::string state = StatePayload(latestState_);
    out.reserve(kHeaderSize + 2 * kRecordOverhead + state.size() + SnapshotBytes(count, textBytes) +
                edits.size() + 64);
    PutRecord(out, rkState, state);
    PutSnapshot(out, count, lineAt);
    if (!edits.empty()) PutRecord(out, rkFrame, edits);
    PutTime(out);
    return out;
  }

  void PutTime(std::string& out) const {
    std::string ms;
    PutU64(ms, static_cast<uint64_t>(lastChangeMs_));
    PutRecord(out, rkTime, ms);
  }

  void WriteOut() {
    if (unwritten_.empty()) return;
    if (unwrittenFresh_ && fileSize_ > 0) {
      try {
        files::MakeFolder(folder_);
        platform::ReplaceFileAtomically(path_, unwritten_);
        int fd = ::open(path_.c_str(), O_RDWR | O_APPEND | O_CLOEXEC);
        if (fd < 0) throw Error(WriteError(path_, errno));
        ::fchmod(fd, 0600); // a journal made again after it was deleted is private too
        ::close(fd_);
        fd_ = fd;
      } catch (const Error& e) {
        Failed(e.what());
        return;
      }
      folderSynced_ = false;
    } else {
      size_t done = 0;
      while (done < unwritten_.size()) {
        ssize_t n = ::write(fd_, unwritten_.data() + done, unwritten_.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
          const int err = n < 0 ? errno : ENOSPC;
          // A record half written would hide every later one: the file goes back to its
          // last whole record and the bytes wait for the next try.
          [[maybe_unused]] const int cut = ::ftruncate(fd_, static_cast<off_t>(fileSize_));
          Failed(WriteError(path_, err));
          return;
        }
        done += static_cast<size_t>(n);
      }
      unsynced_ = true;
    }
    fileSize_ = unwrittenFresh_ ? unwritten_.size() : fileSize_ + unwritten_.size();
    bytesWritten_ += unwritten_.size();
    unwritten_.clear();
    unwrittenFresh_ = false;
    lastError_.clear();
  }

  void Failed(const std::string& message) {
    if (message == lastError_) return; // told once until a write succeeds again
    lastError_ = message;
    std::lock_guard lock(mutex_);
    error_ = message;
  }

  // The journal rebuilt from its own bytes and written again as one snapshot.
  void Compact() {
    std::string bytes(fileSize_, '\0');
    size_t done = 0;
    while (done < bytes.size()) {
      ssize_t n = ::pread(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return Failed(WriteError(path_, n < 0 ? errno : EIO));
      done += static_cast<size_t>(n);
    }
    TRecoveredText text;
    try {
      text = ParseJournal(bytes);
    } catch (const Error& e) {
      return Failed("Can't compact the recovery journal " + path_ + ": " + e.what());
    }
    std::string().swap(bytes);
    size_t textBytes = 0;
    for (const std::string& line : text.Lines) textBytes += line.size();
    unwritten_ = Fresh(text.Lines.size(), textBytes, {},
                       [&](uint64_t i) -> std::string_view { return text.Lines[i]; });
    unwrittenFresh_ = true;
    snapshotBytes_ = 4 * text.Lines.size() + textBytes;
    editBytes_ = 0;
    WriteOut();
  }

  void Sync() {
    if (fd_ >= 0 && unsynced_) {
      if (::fdatasync(fd_) != 0) Failed(WriteError(path_, errno));
      struct stat st {};
      // The file or its folder was deleted under us: it is written again from its bytes.
      if (::fstat(fd_, &st) == 0 && st.st_nlink == 0 && unwritten_.empty()) Compact();
    }
    if (!folderSynced_) {
      int dir = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
      if (dir >= 0) {
        folderSynced_ = ::fsync(dir) == 0;
        ::close(dir);
      }
    }
    unsynced_ = false;
    lastSync_ = Clock::now();
  }

  // The UI thread's own: the edits and the replaced text of the change going on.
  TByteBuffer local_;
  std::shared_ptr<const TFrozenLines> staged_;

  // Set once, read by both threads.
  TCustomMemoSource* source_;
  const size_t slack_;
  std::string folder_, path_, lockPath_, id_;
  int fd_ = -1, lockFd_ = -1;
  bool removed_ = false;
  std::thread worker_;

  // The edits of whole changes, under editsLock_: taken for a copy of a few bytes with
  // each keystroke, and by the worker for a swap.
  TSpinLock editsLock_;
  std::string pending_, spare_;
  std::shared_ptr<const TFrozenLines> snapshot_;
  size_t snapshotBase_ = 0;           // the edits in pending_ before the snapshot are dropped
  std::atomic<bool> idle_{false};     // the worker waits for work, and wants to be woken
  std::atomic<bool> wantEdits_{true}; // the worker took the last edits handed over

  // The rest, under mutex_.
  std::mutex mutex_;
  std::condition_variable wake_, done_;
  TJournalState state_;
  bool stateDirty_ = false;
  bool stop_ = false, discard_ = false;
  uint64_t flushWanted_ = 0, flushDone_ = 0;
  bool syncWanted_ = false;
  std::string error_;

  // The worker's own.
  std::string unwritten_;       // records that did not reach the file yet
  bool unwrittenFresh_ = false; // ... starting a fresh file
  size_t fileSize_ = 0;
  size_t snapshotBytes_ = 0, editBytes_ = 0;
  TJournalState writtenState_, latestState_;
  bool haveWrittenState_ = false;
  int64_t lastChangeMs_ = 0;
  bool unsynced_ = false, folderSynced_ = false;
  Clock::time_point lastSync_ = Clock::now();
  std::string lastError_;
  std::atomic<uint64_t> bytesWritten_{0};
};

TJournalWriter::TJournalWriter(const std::string& folder, TCustomMemoSource& source,
                               const TJournalState& state)
    : impl_(std::make_unique<TImpl>(folder, source, state)) {}

TJournalWriter::~TJournalWriter() = default;

void TJournalWriter::SetState(const TJournalState& state) {
  impl_->SetState(state);
}
void TJournalWriter::Remove() {
  impl_->Remove();
}
void TJournalWriter::Flush(bool sync) {
  impl_->Flush(sync);
}
const std::string& TJournalWriter::Path() const {
  return impl_->Path();
}
std::string TJournalWriter::Id() const {
  return impl_->Id();
}
uint64_t TJournalWriter::BytesWritten() const {
  return impl_->BytesWritten();
}
std::string TJournalWriter::TakeError() {
  return impl_->TakeError();
}

} // namespace marlo::recovery
