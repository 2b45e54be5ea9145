#pragma once
// One line of a text model. Items are plain data so that the line store can move them
// with memmove; the store owns the text and the extra block.
#include <cstdint>
#include <string_view>

namespace marlo {

// What only annotated lines need; allocated on first use. (Colours live in the colouring
// cache, which keeps its own data per line.)
struct TLineExtra {
  intptr_t Data = 0; // the Objects slot of the line list
};

enum TItemFlag : uint8_t {
  ifReadOnly = 1 << 1,
  ifOutlineMask = 7 << 2,
  ifOwned = 1 << 7, // the text lives in a block of the line's own (see TOwnedText)
};

// One line: 16 bytes, so that a load of a million lines writes 16 MB of them. A line
// just loaded borrows its text from the load buffer; a line that is edited, or that
// needs an extra block, gets a block of its own with this header in front of the text.
struct TStringItem {
  char* Chars;
  uint32_t Length;
  uint16_t LineFlags;
  uint8_t ItemFlags;
  uint8_t LineState;

  std::string_view Text() const { return {Chars, Length}; }
  bool IsOwned() const { return (ItemFlags & ifOwned) != 0; }
  bool IsReadOnly() const { return (ItemFlags & ifReadOnly) != 0; }
  bool HasLineFlag(int bit) const { return bit >= 0 && bit < 16 && (LineFlags >> bit) & 1; }
};

struct TOwnedText {
  TLineExtra* Extra;
  uint32_t Capacity;
  uint32_t Reserved;

  static TOwnedText* Of(const TStringItem& item) {
    return reinterpret_cast<TOwnedText*>(item.Chars - sizeof(TOwnedText));
  }
  char* Chars() { return reinterpret_cast<char*>(this + 1); }
};

} // namespace marlo
