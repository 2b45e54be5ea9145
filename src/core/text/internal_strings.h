#pragma once
// The line store: an array of line items with a gap at the place last edited, so that
// inserting or removing lines where the user works costs the same in any size of text,
// and whole-file loads that fill it in one pass over the bytes.
#include "core/platform/memory.h"
#include "core/text/line_store_listener.h"
#include "core/text/line_store_recorder.h"
#include "core/text/string_item.h"

#include <cassert>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace marlo {

// The lines of a store as they stood when it was frozen, readable in order on any thread
// while the store changes on. The lines the store owns are copied; the bytes of loaded
// lines are shared with the store, which never writes them. A loaded line that follows
// the one before it in its buffer, a line end apart, is told in one byte.
class TFrozenLines {
public:
  int Count() const { return count_; }
  // The bytes of all lines together.
  size_t TextBytes() const { return textBytes_; }

  // Reads the lines from the first on, one each call, Count() times.
  class TReader {
  public:
    explicit TReader(const TFrozenLines& lines)
        : code_(lines.code_.get()), owned_(lines.owned_.data()) {}
    std::string_view Next();

  private:
    const char* code_;
    const char* owned_;
    uintptr_t cursors_[4] = {}; // the ends of the last loaded lines read
    uintptr_t steps_[4] = {1, 1, 1, 1};
    int last_ = 0;
  };

private:
  friend class TInternalStrings;
  std::unique_ptr<char[]> code_; // how to find each line
  std::string owned_;            // the owned lines' bytes, one after the other
  int count_ = 0;
  size_t textBytes_ = 0;
  std::vector<std::shared_ptr<const char[]>> buffers_;
};

class TInternalStrings {
public:
  TInternalStrings();
  ~TInternalStrings();
  TInternalStrings(const TInternalStrings&) = delete;
  TInternalStrings& operator=(const TInternalStrings&) = delete;

  int Count() const { return count_; }
  int Capacity() const { return capacity_; }

  TStringItem& Item(int i) {
    assert(i >= 0 && i < count_);
    return items_[Slot(i)];
  }
  const TStringItem& Item(int i) const {
    assert(i >= 0 && i < count_);
    return items_[Slot(i)];
  }
  std::string_view Text(int i) const { return Item(i).Text(); }

  // Inserts a new line holding `text` before line i (0 <= i <= Count).
  void Insert(int i, std::string_view text);
  void Delete(int i);
  void Clear();

  // A copy of the lines for another thread: costs a short code for each line (about a byte
  // for a loaded one) and a copy of the lines edited since they were loaded, never a copy
  // of the loaded text.
  TFrozenLines Freeze() const;

  // Told of every change of the lines; not owned.
  void SetListener(TLineStoreListener* listener) { listener_ = listener; }
  // Told of every change with the new bytes, after it happened; not owned, may be null.
  void SetRecorder(TLineStoreRecorder* recorder) { recorder_ = recorder; }
  TLineStoreRecorder* Recorder() const { return recorder_; }

  // Replaces the text of line i.
  void SetText(int i, std::string_view text);
  // In-place edits of line i. The listener hears of them with the style of inserted
  // characters, or the styles of appended ones, for the colours it keeps.
  void InsertChars(int i, size_t pos, std::string_view chars, char style = 0);
  void EraseChars(int i, size_t pos, size_t n);
  void Append(int i, std::string_view chars, std::string_view styles = {});

  // The line's extra block, made on first use.
  TLineExtra& Extra(int i);
  const TLineExtra* ExtraIfAny(int i) const;

  // Replaces all lines by the lines of `bytes` (a buffer with a NUL after its end, which
  // the store takes over): cut at CR LF, CR and LF, ended by a NUL, trailing characters up
  // to code 32 dropped, each tab replaced by `spacesInTab` spaces unless `keepTabs`.
  //
  // With a reader, the bytes are not in the buffer yet: the reader fills `count` bytes at
  // `offset` and says false when they are not all there; halves are read by the threads
  // that scan them. A load that fails leaves the lines as they were.
  using THalfReader = std::function<bool(char* into, size_t offset, size_t count)>;
  void LoadBulk(platform::ByteBlock bytes, size_t size, int spacesInTab, bool keepTabs,
                const THalfReader& read = {});

  // Loads of at least this many bytes are scanned in two halves side by side.
  static inline size_t ParallelLoadThreshold = size_t(8) << 20;

private:
  size_t Slot(int i) const {
    return static_cast<size_t>(i < gapStart_ ? i : i + (capacity_ - count_));
  }
  void MoveGapTo(int i);
  void Reserve(int needed);
  void FreeItem(TStringItem& item);
  static void MakeRoom(TStringItem& item, size_t needed);
  static void SetItemText(TStringItem& item, std::string_view text);

  TStringItem* items_ = nullptr;
  int count_ = 0;
  int capacity_ = 0;
  int gapStart_ = 0;     // the gap holds capacity_ - count_ slots from here
  size_t allocated_ = 0; // bytes of the block items_ points to
  // Bytes that loaded lines borrow; shared with frozen copies of the lines.
  std::vector<std::shared_ptr<const char[]>> buffers_;
  TLineStoreListener* listener_ = nullptr;
  TLineStoreRecorder* recorder_ = nullptr;
};

} // namespace marlo
