#pragma once
// The colouring cache of a text model. Every line keeps, in a few bytes, whether it is
// coloured and the states in which it starts and ends, so that only lines whose text or
// start state changed are scanned again. Style strings are kept for a bounded set of
// lines, those shown and recently shown; a coloured line whose styles went is coloured
// again from its start state when asked, which costs what painting it costs.
//
// Edits keep a line's styles, with the inserted characters taking a given style, until the
// line is coloured again; styles that edits or undo wrote stay until then, whatever the
// bound.
#include "core/text/gap_array.h"
#include "core/text/internal_strings.h"
#include "core/text/line_parser.h"
#include "core/text/line_store_listener.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marlo {

class TColorCache : public TLineStoreListener {
public:
  // Style strings kept for lines that can be coloured again: at most this many lines and
  // about this many bytes.
  static inline int MaxCachedLines = 4096;
  static inline size_t MaxCachedBytes = size_t(1) << 20;

  explicit TColorCache(const TInternalStrings& store) : store_(store) {}
  TColorCache(const TColorCache&) = delete;
  TColorCache& operator=(const TColorCache&) = delete;

  TLineParser* Parser() const { return parser_; }
  // A new parser makes the colours invalid; the owner resets them.
  void SetParser(TLineParser* parser) { parser_ = parser; }
  bool HighlightUrls() const { return highlightUrls_; }
  void SetHighlightUrls(bool on) { highlightUrls_ = on; }

  // Colours the lines first..last that are not coloured or whose start state moved, and
  // returns RecolorFrom: one past the last line whose end state changed in this update.
  int ColorLines(int first, int last, bool force);
  // Colours from FirstUncolored up to `line`, running 100 lines ahead of it.
  int EnsureLineColored(int line, bool force);
  int FirstUncolored() const { return firstUncolored_; }
  int RecolorFrom() const { return recolorFrom_; }
  bool IsLineColored(int line) const { return (records_[line].Bits & kColored) != 0; }
  // The style string of a line, colouring it first when needed. Valid until the next call.
  std::string_view LineColors(int line);
  int StartState(int line) const { return Decode(records_[line].Start); }
  int EndState(int line) const { return Decode(records_[line].End); }
  // Every line loses its colours; the states stay as the lines last ended.
  void Reset();

  // A change of the model begins: RecolorFrom starts over.
  void BeginChange() { recolorFrom_ = -1; }
  // Lines from `line` down changed in the change that ends.
  void TextChangedFrom(int line);
  // A line's text changed: it is scanned again at once when it lies in the coloured part.
  // Returns whether its end state moved, which changes how every later line may look.
  bool RecolorEditedLine(int line);

  // The style bytes line `line` holds now, coloured or not: what edits keep and read.
  // Valid until the next call.
  std::string_view Styles(int line);
  // The line's style bytes for changing in place; they stay until the line is coloured.
  std::string& KeptStyles(int line);
  void SetStyles(int line, std::string_view styles) { OwnStyles(records_[line]).assign(styles); }
  // The styles of a coloured line without keeping them: from the cache when it holds them,
  // else coloured into `scratch` from the line's start state.
  std::string_view PeekStyles(int line, std::string& scratch) const;

  // How many lines have style strings kept now (kept by edits included).
  int CachedLines() const;

  // ---- Told by the line store ------------------------------------------------------
  void PrepareLines(int count) override { records_.Prepare(count); }
  void LinesReplaced(int count) override;
  void LineInserted(int line) override;
  void LineDeleted(int line) override;
  void TextReplaced(int line, size_t length) override;
  void CharsInserted(int line, size_t pos, size_t count, char style) override;
  void CharsErased(int line, size_t pos, size_t count) override;
  void CharsAppended(int line, size_t count, std::string_view styles) override;

private:
  static constexpr uint32_t kColored = 1u << 31;
  static constexpr uint32_t kStyled = 1u << 30; // the line has a style string, maybe empty
  static constexpr uint32_t kEntryMask = kStyled - 1;

  // Per line: 12 bytes. States of up to 15 bits are kept as they are, others in a table.
  struct TLineRecord {
    uint16_t Start;
    uint16_t End;
    uint32_t Bits;       // kColored, kStyled, and 1 + the index of the line's entry, or 0
    uint32_t Generation; // the entry's generation when the line got it
  };
  // A style string. Entries that can be coloured again form a list from the most recently
  // used on; entries written by edits are kept out of it.
  struct TEntry {
    std::string Styles;
    uint32_t Generation = 0;
    int Prev = -1, Next = -1;
    size_t Bytes = 0; // counted against the bound while in the list
    bool Listed = false;
    bool Kept = false;
  };

  uint16_t Encode(int state);
  int Decode(uint16_t code) const { return code < 0x8000 ? code : bigStates_[code - 0x8000]; }
  // The live entry of a line, or -1.
  int EntryOf(const TLineRecord& r) const;
  int NewEntry(TLineRecord& r);
  void FreeEntry(int e);
  void DropEntryOf(TLineRecord& r);
  // The line's own entry, kept out of the list, holding what it held or nothing.
  std::string& OwnStyles(TLineRecord& r);
  void DropAllEntries();
  void Link(int e);
  void Unlink(int e);
  void Trim();
  void Parse(int line, int state, std::string& out) const;

  const TInternalStrings& store_;
  TLineParser* parser_ = nullptr;
  bool highlightUrls_ = false;
  int firstUncolored_ = 0;
  int recolorFrom_ = -1;
  bool anyColored_ = false; // a line may be coloured: a reset has lines to go through

  TGapArray<TLineRecord> records_;
  std::vector<int> bigStates_;
  std::vector<TEntry> entries_;
  std::vector<int> free_;
  int head_ = -1, tail_ = -1; // the list of entries that may go
  int listed_ = 0;
  size_t listedBytes_ = 0;
  std::string scratch_;
};

} // namespace marlo
