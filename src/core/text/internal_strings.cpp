#include "core/text/internal_strings.h"

#include "core/error.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <thread>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace marlo {

namespace {

constexpr uint32_t kMaxLine = INT_MAX;

TStringItem EmptyItem() {
  return TStringItem{nullptr, 0, 0, 0, 0};
}

uint32_t CheckedLength(size_t n) {
  if (n > kMaxLine) throw Error("Line too long");
  return static_cast<uint32_t>(n);
}

TOwnedText* NewOwnedText(uint32_t capacity) {
  auto* block = static_cast<TOwnedText*>(::operator new(sizeof(TOwnedText) + capacity));
  block->Extra = nullptr;
  block->Capacity = capacity;
  block->Reserved = 0;
  return block;
}

TLineExtra* ExtraOf(const TStringItem& item) {
  return item.IsOwned() ? TOwnedText::Of(item)->Extra : nullptr;
}

} // namespace

TInternalStrings::TInternalStrings() = default;

TInternalStrings::~TInternalStrings() {
  Clear();
  platform::FreeBlock(items_, allocated_);
}

namespace {

// A frozen line's code. A byte below 128 is the length of a loaded line that starts a line
// end after the loaded line before it (the distance of the last cursor's last line ending
// at most 2 bytes before its start). Else the byte says how the line is found, and numbers
// follow in 7-bit groups, low first:
constexpr uint8_t kLong = 0x80;
constexpr uint8_t kKindMask = 0x60;
constexpr uint8_t kNearCursor = 0x00; // cursor in the low 2 bits; distance, length
constexpr uint8_t kOwnedLine = 0x20;  // length; the bytes are next in the owned copy
constexpr uint8_t kElsewhere = 0x40;  // cursor slot in the low 2 bits; 8-byte address, length
constexpr size_t kMaxCode = 1 + 8 + 5 + 5;
constexpr uintptr_t kMaxDistance = UINT32_MAX;
constexpr uintptr_t kLineEnd = 2;

char* PutNumber(char* p, uint64_t n) {
  while (n >= 0x80) {
    *p++ = static_cast<char>(n | 0x80);
    n >>= 7;
  }
  *p++ = static_cast<char>(n);
  return p;
}

uint64_t GetNumber(const char*& p) {
  uint64_t n = 0;
  for (int shift = 0;; shift += 7) {
    const auto b = static_cast<uint8_t>(*p++);
    n |= uint64_t(b & 0x7F) << shift;
    if (!(b & 0x80)) return n;
  }
}

} // namespace

TFrozenLines TInternalStrings::Freeze() const {
  TFrozenLines frozen;
  frozen.count_ = count_;
  frozen.buffers_ = buffers_;
  size_t total = 0, owned = 0;
  for (int i = 0; i < count_; ++i) {
    const TStringItem& item = Item(i);
    total += item.Length;
    if (item.IsOwned()) owned += item.Length;
  }
  frozen.textBytes_ = total;
  frozen.owned_.reserve(owned);
  // Room for the codes of most texts (pages are made only as they are written).
  size_t capacity = 4 * static_cast<size_t>(count_) + kMaxCode;
  auto code = std::make_unique_for_overwrite<char[]>(capacity);
  char* p = code.get();
  uintptr_t cursors[4] = {}, steps[4] = {1, 1, 1, 1};
  int last = 0, slot = 0;
  for (int i = 0; i < count_; ++i) {
    const size_t used = static_cast<size_t>(p - code.get());
    if (capacity - used < kMaxCode) {
      capacity = capacity * 2;
      auto grown = std::make_unique_for_overwrite<char[]>(capacity);
      std::memcpy(grown.get(), code.get(), used);
      code = std::move(grown);
      p = code.get() + used;
    }
    const TStringItem& item = Item(i);
    const uint32_t length = item.Length;
    if (item.IsOwned() || !item.Chars) { // an empty line may have no bytes anywhere
      *p++ = static_cast<char>(kLong | kOwnedLine);
      p = PutNumber(p, length);
      frozen.owned_.append(item.Chars ? item.Chars : "", length);
      continue;
    }
    const auto at = reinterpret_cast<uintptr_t>(item.Chars);
    if (cursors[last] && at - cursors[last] == steps[last] && at >= cursors[last] &&
        length < kLong) {
      *p++ = static_cast<char>(length);
    } else {
      int near = -1;
      for (int k : {last, 0, 1, 2, 3})
        if (cursors[k] && at >= cursors[k] && at - cursors[k] <= kMaxDistance) {
          near = k;
          break;
        }
      if (near >= 0) {
        *p++ = static_cast<char>(kLong | kNearCursor | near);
        const uintptr_t distance = at - cursors[near];
        if (distance <= kLineEnd) steps[near] = distance;
        p = PutNumber(p, distance);
        last = near;
      } else {
        last = slot;
        slot = (slot + 1) % 4;
        *p++ = static_cast<char>(kLong | kElsewhere | last);
        std::memcpy(p, &at, sizeof at);
        p += sizeof at;
      }
      p = PutNumber(p, length);
    }
    cursors[last] = at + length;
  }
  frozen.code_ = std::move(code);
  return frozen;
}

std::string_view TFrozenLines::TReader::Next() {
  const auto b = static_cast<uint8_t>(*code_++);
  uintptr_t at;
  size_t length;
  if (!(b & kLong)) {
    at = cursors_[last_] + steps_[last_];
    length = b;
  } else if ((b & kKindMask) == kOwnedLine) {
    length = static_cast<size_t>(GetNumber(code_));
    const char* chars = owned_;
    owned_ += length;
    return {chars, length};
  } else {
    last_ = b & 3;
    if ((b & kKindMask) == kNearCursor) {
      const auto distance = static_cast<uintptr_t>(GetNumber(code_));
      if (distance <= kLineEnd) steps_[last_] = distance;
      at = cursors_[last_] + distance;
    } else {
      std::memcpy(&at, code_, sizeof at);
      code_ += sizeof at;
    }
    length = static_cast<size_t>(GetNumber(code_));
  }
  cursors_[last_] = at + length;
  return {reinterpret_cast<const char*>(at), length};
}

void TInternalStrings::FreeItem(TStringItem& item) {
  if (item.IsOwned()) {
    TOwnedText* block = TOwnedText::Of(item);
    delete block->Extra;
    ::operator delete(block);
  }
  item = EmptyItem();
}

void TInternalStrings::MakeRoom(TStringItem& item, size_t needed) {
  uint32_t n = CheckedLength(needed);
  uint32_t capacity = item.IsOwned() ? TOwnedText::Of(item)->Capacity : 0;
  if (item.IsOwned() && capacity >= n) return;
  size_t grown = std::max<size_t>({n, size_t(capacity) + capacity / 2, item.IsOwned() ? 16 : n});
  TOwnedText* block = NewOwnedText(static_cast<uint32_t>(std::min<size_t>(grown, kMaxLine)));
  if (item.Length > 0) std::memcpy(block->Chars(), item.Chars, item.Length);
  if (item.IsOwned()) {
    TOwnedText* old = TOwnedText::Of(item);
    block->Extra = old->Extra;
    ::operator delete(old);
  }
  item.Chars = block->Chars();
  item.ItemFlags |= ifOwned;
}

void TInternalStrings::SetItemText(TStringItem& item, std::string_view text) {
  uint32_t n = CheckedLength(text.size());
  if (!item.IsOwned()) item.Length = 0; // a load buffer is never written to
  if (!item.IsOwned() || TOwnedText::Of(item)->Capacity < n) {
    // The text may lie in the old block: copy it before that goes.
    std::string copy(text);
    MakeRoom(item, n);
    if (n > 0) std::memcpy(item.Chars, copy.data(), n);
  } else if (n > 0) {
    std::memmove(item.Chars, text.data(), n);
  }
  item.Length = n;
}

void TInternalStrings::Reserve(int needed) {
  if (needed <= capacity_) return;
  if (needed < 0) throw Error("Too many lines");
  long long grown = std::max<long long>({needed, capacity_ + capacity_ / 2LL, capacity_ + 64LL});
  int cap = static_cast<int>(std::min<long long>(grown, INT_MAX));
  int tail = count_ - gapStart_;
  // Items are plain data, so realloc may move them (and for big arrays remaps pages
  // instead of copying).
  size_t bytes = sizeof(TStringItem) * size_t(cap);
  if (bytes > allocated_) {
    items_ = static_cast<TStringItem*>(platform::ResizeBlock(items_, allocated_, bytes));
    allocated_ = bytes;
  }
  if (tail > 0)
    std::memmove(items_ + (cap - tail), items_ + (capacity_ - tail),
                 sizeof(TStringItem) * size_t(tail));
  capacity_ = cap;
}

void TInternalStrings::MoveGapTo(int i) {
  if (i == gapStart_) return;
  int gap = capacity_ - count_;
  if (gap > 0) {
    if (i < gapStart_)
      std::memmove(items_ + i + gap, items_ + i, sizeof(TStringItem) * size_t(gapStart_ - i));
    else
      std::memmove(items_ + gapStart_, items_ + gapStart_ + gap,
                   sizeof(TStringItem) * size_t(i - gapStart_));
  }
  gapStart_ = i;
}

void TInternalStrings::Insert(int i, std::string_view text) {
  assert(i >= 0 && i <= count_);
  TStringItem item = EmptyItem();
  SetItemText(item, text);
  try {
    Reserve(count_ + 1);
  } catch (...) {
    FreeItem(item);
    throw;
  }
  if (listener_) {
    try {
      listener_->LineInserted(i);
    } catch (...) {
      FreeItem(item);
      throw;
    }
  }
  MoveGapTo(i);
  items_[gapStart_] = item;
  ++gapStart_;
  ++count_;
  if (recorder_) recorder_->Inserted(i, item.Text());
}

void TInternalStrings::Delete(int i) {
  if (listener_) listener_->LineDeleted(i);
  MoveGapTo(i + 1);
  FreeItem(items_[i]);
  --gapStart_;
  --count_;
  if (count_ == 0) buffers_.clear();
  if (recorder_) recorder_->Deleted(i);
}

void TInternalStrings::Clear() {
  for (int i = 0; i < count_; ++i) FreeItem(Item(i));
  count_ = 0;
  gapStart_ = 0;
  buffers_.clear();
  if (listener_) listener_->LinesReplaced(0);
  if (recorder_) recorder_->AllReplaced();
}

void TInternalStrings::SetText(int i, std::string_view text) {
  TStringItem& item = Item(i);
  SetItemText(item, text);
  if (listener_) listener_->TextReplaced(i, item.Length);
  if (recorder_) recorder_->TextSet(i, item.Text());
}

void TInternalStrings::InsertChars(int i, size_t pos, std::string_view chars, char style) {
  if (chars.empty()) return;
  TStringItem& item = Item(i);
  pos = std::min<size_t>(pos, item.Length);
  size_t n = item.Length + chars.size();
  MakeRoom(item, n);
  if (listener_) listener_->CharsInserted(i, pos, chars.size(), style);
  std::memmove(item.Chars + pos + chars.size(), item.Chars + pos, item.Length - pos);
  std::memcpy(item.Chars + pos, chars.data(), chars.size());
  item.Length = static_cast<uint32_t>(n);
  if (recorder_) recorder_->CharsInserted(i, pos, std::string_view(item.Chars + pos, chars.size()));
}

void TInternalStrings::EraseChars(int i, size_t pos, size_t n) {
  TStringItem& item = Item(i);
  if (pos >= item.Length || n == 0) return;
  n = std::min<size_t>(n, item.Length - pos);
  if (listener_) listener_->CharsErased(i, pos, n);
  if (!item.IsOwned() && pos + n == item.Length) {
    item.Length = static_cast<uint32_t>(pos); // cutting a borrowed line's tail needs no copy
  } else {
    MakeRoom(item, item.Length);
    std::memmove(item.Chars + pos, item.Chars + pos + n, item.Length - pos - n);
    item.Length -= static_cast<uint32_t>(n);
  }
  if (recorder_) recorder_->CharsErased(i, pos, n);
}

void TInternalStrings::Append(int i, std::string_view chars, std::string_view styles) {
  TStringItem& item = Item(i);
  size_t old = item.Length;
  if (!chars.empty()) MakeRoom(item, old + chars.size());
  if (listener_) listener_->CharsAppended(i, chars.size(), styles);
  if (!chars.empty()) {
    std::memcpy(item.Chars + old, chars.data(), chars.size());
    item.Length = static_cast<uint32_t>(old + chars.size());
    if (recorder_) recorder_->Appended(i, std::string_view(item.Chars + old, chars.size()));
  }
}

TLineExtra& TInternalStrings::Extra(int i) {
  TStringItem& item = Item(i);
  // The extra block hangs off the line's own text block.
  if (!item.IsOwned()) MakeRoom(item, item.Length);
  TOwnedText* block = TOwnedText::Of(item);
  if (!block->Extra) block->Extra = new TLineExtra();
  return *block->Extra;
}

const TLineExtra* TInternalStrings::ExtraIfAny(int i) const {
  return ExtraOf(Item(i));
}

namespace {

// The bytes of the 16 at p that end or change a line: line feeds, and the rest (NUL,
// TAB, CR), which need a closer look.
struct ChunkMasks {
  unsigned LineFeeds;
  unsigned CarriageReturns;
  unsigned Tabs;
  unsigned Nuls;
};

inline ChunkMasks Masks16(const char* p) {
#if defined(__SSE2__)
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  auto eq = [&](char c) {
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(c))));
  };
  return {eq('\n'), eq('\r'), eq('\t'), eq('\0')};
#else
  ChunkMasks m{0, 0, 0, 0};
  for (int i = 0; i < 16; ++i) {
    char c = p[i];
    if (c == '\n') m.LineFeeds |= 1u << i;
    if (c == '\r') m.CarriageReturns |= 1u << i;
    if (c == '\t') m.Tabs |= 1u << i;
    if (c == '\0') m.Nuls |= 1u << i;
  }
  return m;
#endif
}

// Lines whose tabs became spaces during a load live in blocks of their own.
class ExpansionArena {
public:
  explicit ExpansionArena(std::vector<platform::ByteBlock>& blocks) : blocks_(blocks) {}
  char* Take(size_t n) {
    if (n > left_) {
      size_t size = std::max<size_t>(n, size_t(4) << 20);
      blocks_.push_back(platform::AllocateBytes(size));
      next_ = blocks_.back().get();
      left_ = size;
    }
    char* p = next_;
    next_ += n;
    left_ -= n;
    return p;
  }
  // Returns the last n bytes of the latest Take.
  void GiveBack(size_t n) {
    next_ -= n;
    left_ += n;
  }

private:
  std::vector<platform::ByteBlock>& blocks_;
  char* next_ = nullptr;
  size_t left_ = 0;
};

// One stretch of a loaded text, scanned into lines of its own.
struct LoadPart {
  const char* From = nullptr;
  const char* To = nullptr; // the part ends here; a later part may follow
  TStringItem* Items = nullptr;
  int Count = 0;
  int Capacity = 0;
  bool EndedByNul = false;
  std::vector<platform::ByteBlock> Arenas;

  bool Owned = false; // Items is a block of the part's own, not a stretch of the store's

  LoadPart(const char* from, const char* to, TStringItem* items, int capacity)
      : From(from), To(to), Items(items), Capacity(capacity) {}
  ~LoadPart() {
    if (Owned) platform::FreeBlock(Items, Bytes(Capacity));
  }
  LoadPart(const LoadPart&) = delete;
  LoadPart& operator=(const LoadPart&) = delete;

  static size_t Bytes(long long n) { return sizeof(TStringItem) * static_cast<size_t>(n); }
  // More lines than the room the part was given: it moves to a block of its own.
  void Grow(long long needed) {
    if (needed > INT_MAX / 2) throw Error("Too many lines");
    int cap = static_cast<int>(std::max<long long>({needed, Capacity + Capacity / 2LL, 1024}));
    if (Owned) {
      Items = static_cast<TStringItem*>(platform::ResizeBlock(Items, Bytes(Capacity), Bytes(cap)));
    } else {
      auto* own = static_cast<TStringItem*>(platform::AllocateBlock(Bytes(cap)));
      std::memcpy(own, Items, Bytes(Count));
      Items = own;
      Owned = true;
    }
    Capacity = cap;
  }
};

// Splits a part into lines: cut at CR LF, CR and LF, ended by a NUL, trailing characters
// up to code 32 dropped, each tab replaced by `spacesInTab` spaces unless `keepTabs`. The
// byte at part.To must be readable (the next part, or the NUL after the buffer).
void ScanPart(LoadPart& part, int spacesInTab, bool keepTabs) {
  ExpansionArena arena(part.Arenas);

  // Locals rather than members in the loop: stores into the items could otherwise alias
  // them and force a reload for every line.
  TStringItem* items = part.Items;
  int count = 0, capacity = part.Capacity;
  auto grow = [&] {
    part.Count = count;
    part.Grow(count + 1LL);
    items = part.Items;
    capacity = part.Capacity;
  };
  auto expand = [&](const char* from, const char* to) {
    // Room for every byte being a tab; what is not used goes back to the arena.
    size_t room = static_cast<size_t>(to - from) * static_cast<size_t>(spacesInTab);
    char* chars = arena.Take(room);
    char* out = chars;
    for (const char* q = from; q < to; ++q) {
      if (*q != '\t') {
        *out++ = *q;
        continue;
      }
      std::memset(out, ' ', static_cast<size_t>(spacesInTab));
      out += spacesInTab;
    }
    size_t n = static_cast<size_t>(out - chars);
    arena.GiveBack(room - n);
    return std::string_view(chars, n);
  };
  auto emit = [&](const char* from, const char* to, bool hasTabs) __attribute__((always_inline)) {
    while (to > from && static_cast<unsigned char>(to[-1]) <= 32) --to;
    std::string_view text(from, static_cast<size_t>(to - from));
    if (hasTabs) [[unlikely]]
      text = expand(from, to);
    if (count == capacity) [[unlikely]]
      grow();
    items[count++] = TStringItem{text.empty() ? nullptr : const_cast<char*>(text.data()),
                                 CheckedLength(text.size()), 0, 0, 0};
  };

  const char* base = part.From;
  const char* end = part.To;
  const char* lineStart = base;
  const char* stop = end; // a NUL ends the text
  bool hasTabs = false;
  auto special = [&](const char* q) {
    if (q < lineStart) return true; // the LF of a CR LF, already taken
    char c = *q;
    if (c == '\t') {
      hasTabs = hasTabs || !keepTabs;
      return true;
    }
    if (c == '\0') {
      stop = q;
      part.EndedByNul = true;
      return false;
    }
    emit(lineStart, q, hasTabs);
    hasTabs = false;
    lineStart = q + 1 + (c == '\r' && q + 1 < end && q[1] == '\n');
    return true;
  };
  // Line feeds of chunks that need no closer look are collected first and turned into
  // lines in a batch: the number of line feeds in a chunk varies, and branching on it for
  // every chunk costs more than the lines themselves.
  const char* pending[80];
  int npending = 0;
  // Tabs of chunks taken in batches: a line holds one when a tab lies before its end.
  const char* tabList[256];
  int ntabs = 0;
  auto flush = [&] {
    int t = 0;
    for (int i = 0; i < npending; ++i) {
      const char* q = pending[i];
      if (q < lineStart) continue; // the LF of a CR LF that the byte path took
      bool lineTabs = hasTabs;
      for (; t < ntabs && tabList[t] < q; ++t) lineTabs = lineTabs || tabList[t] >= lineStart;
      emit(lineStart, q, lineTabs);
      hasTabs = false;
      lineStart = q + 1;
    }
    npending = 0;
    // Tabs after the last line feed belong to the line that is still open.
    for (; t < ntabs; ++t) hasTabs = hasTabs || tabList[t] >= lineStart;
    ntabs = 0;
  };
  const unsigned tabsWanted = keepTabs ? 0u : ~0u;
  const char* chunk = base;
  bool more = true;
  for (; more && end - chunk >= 16; chunk += 16) {
    ChunkMasks m = Masks16(chunk);
    // A CR right before an LF is dropped with the trailing blanks; only a lone CR or a
    // NUL needs the byte-by-byte path.
    unsigned loneCr =
        m.CarriageReturns & ~((m.LineFeeds >> 1) | (chunk[16] == '\n' ? 0x8000u : 0u));
    if ((loneCr | m.Nuls) == 0) [[likely]] {
      // A full list of tabs is taken first, before this chunk's line feeds are pending:
      // the lines they end may hold tabs of this chunk, which are not listed yet.
      const unsigned tabs = m.Tabs & tabsWanted;
      if (tabs && ntabs > 256 - 16) [[unlikely]]
        flush();
      // The first two are written whatever the mask holds; only a third needs a loop.
      unsigned mask = m.LineFeeds;
      pending[npending] = chunk + __builtin_ctz(mask | 0x10000u);
      npending += mask != 0;
      mask &= mask - 1;
      pending[npending] = chunk + __builtin_ctz(mask | 0x10000u);
      npending += mask != 0;
      mask &= mask - 1;
      for (; mask; mask &= mask - 1) pending[npending++] = chunk + __builtin_ctz(mask);
      for (unsigned t = tabs; t; t &= t - 1) tabList[ntabs++] = chunk + __builtin_ctz(t);
      if (npending >= 64) flush();
      continue;
    }
    flush();
    for (unsigned mask = m.LineFeeds | m.CarriageReturns | m.Tabs | m.Nuls; mask && more;
         mask &= mask - 1)
      more = special(chunk + __builtin_ctz(mask));
  }
  flush();
  for (; more && chunk < end; ++chunk) {
    char c = *chunk;
    if (c == '\0' || c == '\t' || c == '\n' || c == '\r') more = special(chunk);
  }
  if (lineStart < stop || hasTabs) emit(lineStart, stop, hasTabs);
  part.Count = count;
}

bool SplitForThreads(const char* base, size_t size, const char*& mid) {
  // Two halves only pay for the thread when the text is big.
  if (size == 0 || size < TInternalStrings::ParallelLoadThreshold ||
      std::thread::hardware_concurrency() < 2)
    return false;
  const char* half = base + size / 2;
  const char* lf = static_cast<const char*>(std::memchr(half, '\n', size - size / 2));
  if (!lf || lf + 1 >= base + size) return false;
  mid = lf + 1;
  return true;
}

// Room for the lines of a part of a loaded text: enough for lines of four bytes on
// average. Slots never written cost address space only.
int LineRoom(const char* from, const char* to) {
  return static_cast<int>(std::min<long long>((to - from) / 4 + 1024, INT_MAX / 4));
}

} // namespace

void TInternalStrings::LoadBulk(platform::ByteBlock bytes, size_t size, int spacesInTab,
                                bool keepTabs, const THalfReader& read) {
  assert(keepTabs || spacesInTab >= 1);
  char* base = bytes.get();
  const char* end = base + size;
  const char* mid = end;
  bool split = false;
  if (read) {
    // Each half is read by the thread that scans it; the second starts at the first line
    // feed after the middle, which only its reader sees.
    split = size >= ParallelLoadThreshold && size >= 2 && std::thread::hardware_concurrency() >= 2;
  } else {
    split = SplitForThreads(base, size, mid);
  }
  // One fresh block holds the lines of both halves, the second half's at the end of the
  // room given to the first: the gap between them becomes the gap of the store. The old
  // lines stay until the new ones are all there.
  int roomA = split && read ? LineRoom(base, end) : LineRoom(base, mid);
  int roomB = split ? LineRoom(split && read ? base + size / 2 : mid, end) : 0;
  size_t blockBytes =
      sizeof(TStringItem) * (static_cast<size_t>(roomA) + static_cast<size_t>(roomB));
  auto* block = static_cast<TStringItem*>(platform::AllocateBlock(blockBytes));
  struct BlockOwner {
    TStringItem*& Block;
    size_t Bytes;
    ~BlockOwner() { platform::FreeBlock(Block, Bytes); }
  } owner{block, blockBytes};

  LoadPart first(base, mid, block, roomA);
  std::unique_ptr<LoadPart> second;
  if (!split) {
    if (read && !read(base, 0, size)) throw Error("The file changed while it was read");
    ScanPart(first, spacesInTab, keepTabs);
  } else {
    second = std::make_unique<LoadPart>(mid, end, block + roomA, roomB);
    std::exception_ptr failure;
    std::atomic<int> midState{0}; // 1: the second half is there and its start known; 2: failed
    const size_t half = size / 2;
    std::thread worker([&] {
      try {
        if (read) {
          if (!read(base + half, half, size - half))
            throw Error("The file changed while it was read");
          const char* lf = static_cast<const char*>(std::memchr(base + half, '\n', size - half));
          second->From = lf ? lf + 1 : end;
          midState.store(1);
          midState.notify_one();
        }
        ScanPart(*second, spacesInTab, keepTabs);
      } catch (...) {
        failure = std::current_exception();
        midState.store(2);
        midState.notify_one();
      }
    });
    try {
      if (read) {
        if (!read(base, 0, half)) throw Error("The file changed while it was read");
        midState.wait(0);
        if (midState.load() == 2) throw Error("The file changed while it was read");
        first.To = second->From;
      }
      ScanPart(first, spacesInTab, keepTabs);
    } catch (...) {
      worker.join();
      throw;
    }
    worker.join();
    if (failure) std::rethrow_exception(failure);
    if (first.EndedByNul) second.reset(); // a NUL in the first half ends the text
  }

  // All there. Whatever can still fail comes first: a failed load leaves the old lines.
  int countB = second ? second->Count : 0;
  long long total = static_cast<long long>(first.Count) + countB;
  if (total > INT_MAX / 2) throw Error("Too many lines");
  std::vector<std::shared_ptr<const char[]>> loaded;
  loaded.reserve(1 + first.Arenas.size() + (second ? second->Arenas.size() : 0));
  loaded.emplace_back(std::move(bytes));
  for (LoadPart* p : {&first, second.get()})
    if (p)
      for (auto& arenaBlock : p->Arenas) loaded.emplace_back(std::move(arenaBlock));
  if (listener_) listener_->PrepareLines(static_cast<int>(total));
  // From here on only the joining of the parts can fail, before it has taken anything.
  TStringItem* items = block;
  size_t itemBytes = blockBytes;
  int capacity = roomA + countB;
  const bool together = first.Owned || (second && second->Owned);
  if (together) {
    // A part outgrew its room: the lines are put together in one block.
    itemBytes = LoadPart::Bytes(total + 64);
    items = static_cast<TStringItem*>(platform::AllocateBlock(itemBytes));
    std::memcpy(items, first.Items, LoadPart::Bytes(first.Count));
    if (second) std::memcpy(items + first.Count, second->Items, LoadPart::Bytes(countB));
    capacity = static_cast<int>(total) + 64;
  } else {
    block = nullptr; // the store takes it over
  }

  // The old lines go, the new ones take their place; the recorder hears of it once, below.
  TLineStoreRecorder* recorder = std::exchange(recorder_, nullptr);
  Clear();
  recorder_ = recorder;
  platform::FreeBlock(items_, allocated_);
  items_ = items;
  allocated_ = itemBytes;
  count_ = static_cast<int>(total);
  gapStart_ = together ? count_ : first.Count;
  capacity_ = capacity;
  buffers_.swap(loaded);
  if (count_ == 0) buffers_.clear();
  if (listener_) listener_->LinesReplaced(count_);
  if (recorder_) recorder_->AllReplaced();
}

} // namespace marlo
