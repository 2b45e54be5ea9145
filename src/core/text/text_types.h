#pragma once
// Small value types shared by the text model and its users.
#include <cstdint>
#include <initializer_list>

namespace marlo {

// A set of enumerators stored as bits, in declaration order.
template <typename E> class EnumSet {
public:
  constexpr EnumSet() = default;
  constexpr EnumSet(std::initializer_list<E> items) {
    for (E e : items) bits_ |= Bit(e);
  }
  static constexpr EnumSet FromBits(uint32_t bits) {
    EnumSet s;
    s.bits_ = bits;
    return s;
  }
  constexpr bool Has(E e) const { return (bits_ & Bit(e)) != 0; }
  constexpr EnumSet& Include(E e) {
    bits_ |= Bit(e);
    return *this;
  }
  constexpr EnumSet& Exclude(E e) {
    bits_ &= ~Bit(e);
    return *this;
  }
  constexpr EnumSet& Set(E e, bool on) { return on ? Include(e) : Exclude(e); }
  constexpr EnumSet operator|(EnumSet o) const { return FromBits(bits_ | o.bits_); }
  constexpr EnumSet& operator|=(EnumSet o) {
    bits_ |= o.bits_;
    return *this;
  }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr uint32_t Bits() const { return bits_; }
  constexpr bool operator==(const EnumSet&) const = default;

private:
  static constexpr uint32_t Bit(E e) { return 1u << static_cast<unsigned>(e); }
  uint32_t bits_ = 0;
};

enum TStringsOption : uint8_t {
  soBackUnindents,
  soGroupUndo,
  soBeyondFileEnd,
  soForceCutCopy,
  soAutoIndent,
  soSmartTab,
  soFindTextAtCursor,
  soCreateBackups,
  soPersistentBlocks,
  soOverwriteBlocks,
  soLimitEOL,
  soUseTabCharacter,
  soCursorOnTabs,
  soOptimalFill,
  soSelectFoundText,
  soExcludeReadOnlyLines,
  soCursorAlwaysOnTabs,
  soUsePrevIndent,
};
using TStringsOptions = EnumSet<TStringsOption>;

enum class TSelectionType : uint8_t { None, Stream, Column };

enum TBlockOption : uint8_t { bkStreamSel, bkBlockSel, bkNone, bkBoth };

enum TOutFormatType : uint8_t { ofWindows, ofMac, ofUnix };

enum TWordSelectionType : uint8_t { wsWordOnly, wsWordWithSpace, wsUntilNextWord };

// What one outermost change did, reported to every view at its end.
enum TChangeFlag : uint8_t {
  chCaret,
  chText,
  chUndo,
  chLineState,
  chOverwrite,
  chLineCount,
  chModified,
  chSelection,
  chFileName,
  chParser,
  chReadOnly,
  chFoundText,
};
using TChangeFlags = EnumSet<TChangeFlag>;

// The operation a change belongs to. Undo groups consecutive records by it.
enum class TChangeKind : uint8_t {
  None,
  CaretMove,
  Selection,
  Typing,
  NewLine,
  BackSpace,
  DeleteChar,
  Tab,
  DeleteWord,
  DeleteLine,
  DeleteBlock,
  Indent,
  Unindent,
  ChangeCase,
  Quote,
  Cut,
  Paste,
  InsertLines,
  Template,
  MoveBlock,
  CopyBlock,
  InsertGuid,
  Bookmark,
  LinesWrite,
  Load,
  Search,
  Replace,
  ReplaceAll,
  Undo,
  Overwrite,
  Other,
  Reload,
};

struct TPoint {
  int X = 0;
  int Y = 0;
  bool operator==(const TPoint&) const = default;
};

} // namespace marlo
