#pragma once
// One line of a text model. Items are plain data so that the line store can move them
// with memmove; the store owns the text and the extra block.
#include <cstdint>
#include <string>
#include <string_view>

namespace marlo {

// What only coloured or annotated lines need; allocated on first use.
struct TLineExtra {
  std::string Colors; // one style byte per stored character
  int32_t StartState = 0;
  int32_t EndState = 0;
  int32_t Height = 0; // cached measures of the views, cleared with the colours
  int32_t Width = 0;
  int32_t ExpandedLength = 0;
  intptr_t Data = 0; // the Objects slot of the line list
};

enum TItemFlag : uint8_t {
  ifColored = 1 << 0,
  ifReadOnly = 1 << 1,
  ifOutlineMask = 7 << 2,
};

struct TStringItem {
  // Borrowed from a load buffer when Capacity is 0, owned otherwise.
  char* Chars;
  uint32_t Length;
  uint32_t Capacity;
  TLineExtra* Extra;
  uint16_t LineFlags;
  uint8_t ItemFlags;
  uint8_t LineState;

  std::string_view Text() const { return {Chars, Length}; }
  bool IsReadOnly() const { return (ItemFlags & ifReadOnly) != 0; }
  bool IsColored() const { return (ItemFlags & ifColored) != 0; }
  bool HasLineFlag(int bit) const { return bit >= 0 && bit < 16 && (LineFlags >> bit) & 1; }
};

} // namespace marlo
