#include "core/text/internal_strings.h"

#include "core/platform/error.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace marlo {

namespace {

constexpr uint32_t kMaxLine = INT_MAX;

TStringItem EmptyItem() { return TStringItem{nullptr, 0, 0, nullptr, 0, 0, 0}; }

uint32_t CheckedLength(size_t n) {
  if (n > kMaxLine) throw Error("Line too long");
  return static_cast<uint32_t>(n);
}

} // namespace

TInternalStrings::TInternalStrings() = default;

TInternalStrings::~TInternalStrings() {
  Clear();
  std::free(items_);
}

void TInternalStrings::FreeItem(TStringItem& item) {
  if (item.Capacity > 0) delete[] item.Chars;
  delete item.Extra;
  item = EmptyItem();
}

void TInternalStrings::SetItemText(TStringItem& item, std::string_view text) {
  uint32_t n = CheckedLength(text.size());
  if (item.Capacity < n || item.Capacity == 0) {
    if (item.Capacity > 0) delete[] item.Chars;
    item.Chars = nullptr;
    item.Capacity = 0;
    if (n > 0) {
      item.Chars = new char[n];
      item.Capacity = n;
    }
  }
  if (n > 0) std::memmove(item.Chars, text.data(), n);
  item.Length = n;
}

void TInternalStrings::MakeRoom(TStringItem& item, size_t needed) {
  uint32_t n = CheckedLength(needed);
  if (item.Capacity >= n && item.Capacity > 0) return;
  size_t grown = std::max<size_t>({n, size_t(item.Capacity) + item.Capacity / 2, 16});
  uint32_t cap = static_cast<uint32_t>(std::min<size_t>(grown, kMaxLine));
  char* fresh = new char[cap];
  if (item.Length > 0) std::memcpy(fresh, item.Chars, item.Length);
  if (item.Capacity > 0) delete[] item.Chars;
  item.Chars = fresh;
  item.Capacity = cap;
}

void TInternalStrings::Reserve(int needed) {
  if (needed <= capacity_) return;
  if (needed < 0) throw Error("Too many lines");
  long long grown = std::max<long long>({needed, capacity_ + capacity_ / 2LL, capacity_ + 64LL});
  int cap = static_cast<int>(std::min<long long>(grown, INT_MAX));
  int tail = count_ - gapStart_;
  // Items are plain data, so realloc may move them (and for big arrays remaps pages
  // instead of copying).
  auto* fresh = static_cast<TStringItem*>(std::realloc(items_, sizeof(TStringItem) * size_t(cap)));
  if (!fresh) throw std::bad_alloc();
  items_ = fresh;
  if (tail > 0)
    std::memmove(items_ + (cap - tail), items_ + (capacity_ - tail), sizeof(TStringItem) * size_t(tail));
  capacity_ = cap;
}

void TInternalStrings::MoveGapTo(int i) {
  if (i == gapStart_) return;
  int gap = capacity_ - count_;
  if (gap > 0) {
    if (i < gapStart_)
      std::memmove(items_ + i + gap, items_ + i, sizeof(TStringItem) * size_t(gapStart_ - i));
    else
      std::memmove(items_ + gapStart_, items_ + gapStart_ + gap, sizeof(TStringItem) * size_t(i - gapStart_));
  }
  gapStart_ = i;
}

void TInternalStrings::Insert(int i, std::string_view text) {
  TStringItem item = EmptyItem();
  SetItemText(item, text);
  try {
    Reserve(count_ + 1);
  } catch (...) {
    FreeItem(item);
    throw;
  }
  MoveGapTo(i);
  items_[gapStart_] = item;
  ++gapStart_;
  ++count_;
}

void TInternalStrings::Delete(int i) {
  MoveGapTo(i + 1);
  FreeItem(items_[i]);
  --gapStart_;
  --count_;
  if (count_ == 0) buffers_.clear();
}

void TInternalStrings::Clear() {
  for (int i = 0; i < count_; ++i) FreeItem(Item(i));
  count_ = 0;
  gapStart_ = 0;
  buffers_.clear();
}

void TInternalStrings::SetText(int i, std::string_view text) {
  TStringItem& item = Item(i);
  if (item.Capacity == 0) item.Chars = nullptr; // never write into a load buffer
  SetItemText(item, text);
  item.ItemFlags &= static_cast<uint8_t>(~ifColored);
  if (item.Extra) {
    item.Extra->Colors.assign(item.Length, '\0');
    item.Extra->Height = item.Extra->Width = item.Extra->ExpandedLength = 0;
  }
}

void TInternalStrings::InsertChars(int i, size_t pos, std::string_view chars, char style) {
  if (chars.empty()) return;
  TStringItem& item = Item(i);
  pos = std::min<size_t>(pos, item.Length);
  size_t n = item.Length + chars.size();
  MakeRoom(item, n);
  std::memmove(item.Chars + pos + chars.size(), item.Chars + pos, item.Length - pos);
  std::memcpy(item.Chars + pos, chars.data(), chars.size());
  item.Length = static_cast<uint32_t>(n);
  if (item.Extra) {
    std::string& colors = item.Extra->Colors;
    colors.resize(item.Length - chars.size(), '\0');
    colors.insert(pos, chars.size(), style);
  }
}

void TInternalStrings::EraseChars(int i, size_t pos, size_t n) {
  TStringItem& item = Item(i);
  if (pos >= item.Length || n == 0) return;
  n = std::min<size_t>(n, item.Length - pos);
  if (item.Capacity == 0 && pos + n == item.Length) {
    item.Length = static_cast<uint32_t>(pos); // cutting a borrowed line's tail needs no copy
  } else {
    MakeRoom(item, item.Length);
    std::memmove(item.Chars + pos, item.Chars + pos + n, item.Length - pos - n);
    item.Length -= static_cast<uint32_t>(n);
  }
  if (item.Extra) {
    std::string& colors = item.Extra->Colors;
    if (pos < colors.size()) colors.erase(pos, n);
    colors.resize(item.Length, '\0');
  }
}

void TInternalStrings::Append(int i, std::string_view chars, std::string_view styles) {
  TStringItem& item = Item(i);
  size_t old = item.Length;
  if (!chars.empty()) {
    MakeRoom(item, old + chars.size());
    std::memcpy(item.Chars + old, chars.data(), chars.size());
    item.Length = static_cast<uint32_t>(old + chars.size());
  }
  if (item.Extra || !styles.empty()) {
    std::string& colors = Extra(i).Colors;
    colors.resize(old, '\0');
    colors.append(styles.substr(0, chars.size()));
    colors.resize(item.Length, '\0');
  }
}

TLineExtra& TInternalStrings::Extra(int i) {
  TStringItem& item = Item(i);
  if (!item.Extra) item.Extra = new TLineExtra();
  return *item.Extra;
}

std::string_view TInternalStrings::Colors(int i) const {
  const TStringItem& item = Item(i);
  return item.Extra ? std::string_view(item.Extra->Colors) : std::string_view();
}

namespace {

// Finds the next byte in [p, end) that is NUL, TAB, LF or CR; returns end when none.
inline const char* NextSpecial(const char* p, const char* end) {
#if defined(__SSE2__)
  const __m128i nul = _mm_setzero_si128(), tab = _mm_set1_epi8('\t'), lf = _mm_set1_epi8('\n'),
                cr = _mm_set1_epi8('\r');
  while (end - p >= 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, nul), _mm_cmpeq_epi8(v, tab)),
                               _mm_or_si128(_mm_cmpeq_epi8(v, lf), _mm_cmpeq_epi8(v, cr)));
    int mask = _mm_movemask_epi8(hit);
    if (mask) return p + __builtin_ctz(static_cast<unsigned>(mask));
    p += 16;
  }
#endif
  for (; p < end; ++p) {
    char c = *p;
    if (c == '\0' || c == '\t' || c == '\n' || c == '\r') return p;
  }
  return end;
}

} // namespace

void TInternalStrings::LoadBulk(std::unique_ptr<char[]> bytes, size_t size, int spacesInTab,
                                bool keepTabs) {
  Clear();
  char* base = bytes.get();
  const char* end = base + size;
  std::string expanded;
  MoveGapTo(0);
  gapStart_ = 0;

  auto addLine = [&](const char* from, const char* to, bool hasTabs) {
    while (to > from && static_cast<unsigned char>(to[-1]) <= 32) --to;
    TStringItem item = EmptyItem();
    if (hasTabs) {
      expanded.clear();
      for (const char* q = from; q < to; ++q) {
        if (*q == '\t') expanded.append(static_cast<size_t>(spacesInTab), ' ');
        else expanded.push_back(*q);
      }
      SetItemText(item, expanded);
    } else if (to > from) {
      item.Chars = const_cast<char*>(from);
      item.Length = CheckedLength(static_cast<size_t>(to - from));
    }
    if (count_ == capacity_) {
      try {
        Reserve(count_ + 1);
      } catch (...) {
        FreeItem(item);
        throw;
      }
    }
    items_[count_++] = item;
    gapStart_ = count_; // the gap stays behind the last line while appending
  };

  const char* lineStart = base;
  const char* p = base;
  bool hasTabs = false;
  for (;;) {
    p = NextSpecial(p, end);
    if (p == end || *p == '\0') {
      if (p > lineStart || hasTabs) addLine(lineStart, p, hasTabs);
      break;
    }
    if (*p == '\t') {
      hasTabs = hasTabs || !keepTabs;
      ++p;
      continue;
    }
    addLine(lineStart, p, hasTabs);
    hasTabs = false;
    if (*p == '\r' && p + 1 < end && p[1] == '\n') ++p;
    lineStart = ++p;
  }
  gapStart_ = count_;
  if (count_ > 0) buffers_.push_back(std::move(bytes));
}

} // namespace marlo
