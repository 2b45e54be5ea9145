#pragma once
// How a view cuts one line into the runs it draws with one text call each: a run keeps
// one look (font, colours, capitals) and one state (plain, selected, found), and is at
// most 512 characters long. Neighbouring characters that would be painted alike share a
// run, so that a line costs few calls.
#include "core/syntax/text_styles.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marlo {

class TCustomMemoSource;

// The look of one style byte outside a selection. `Font` names a shared font object:
// equal numbers are the same font.
struct TRunLook {
  int Font = 0;
  TColor Text = clBlack;
  TColor Back = clWhite;
  bool Upper = false;
};

enum TRunState : uint8_t { rsPlain, rsSelected, rsFound };

struct TPaintRun {
  int From = 0; // columns [From, To) of the tab-expanded line
  int To = 0;
  int Style = 0; // the style byte of the run's first character, or kNoStyle
  TRunState State = rsPlain;
};

// Columns [From, To) of a line; empty when From >= To.
struct TColumnSpan {
  int From = 0;
  int To = 0;
  bool Contains(int c) const { return c >= From && c < To; }
};

class TPaintRuns {
public:
  static constexpr int kMaxRun = 512;
  // Characters without a style byte (no colouring, or past a short style string).
  static constexpr int kNoStyle = 256;

  // Takes the look of every style byte and of kNoStyle.
  void SetLooks(const std::array<TRunLook, kNoStyle + 1>& looks);
  const TRunLook& Look(int style) const { return looks_[static_cast<size_t>(style)]; }

  // Appends the runs of columns [from, to) of a line whose tab-expanded style bytes are
  // `styles` (shorter than the line, or empty, where the line is not coloured). Found
  // text wins over the selection.
  void Split(std::string_view styles, int from, int to, TColumnSpan selected, TColumnSpan found,
             std::vector<TPaintRun>& out) const;

private:
  std::array<TRunLook, kNoStyle + 1> looks_{};
  // For each style byte the first byte painted alike: plain, and selected or found
  // (where only the font and the capitals count).
  std::array<uint16_t, kNoStyle + 1> plainClass_{};
  std::array<uint16_t, kNoStyle + 1> markedClass_{};
};

// Line `line` of `source` with its tabs expanded, and its style bytes expanded alike (a
// tab's columns take the tab's byte). `colors` are the stored line's style bytes.
void ExpandStyledLine(const TCustomMemoSource& source, int line, std::string_view colors,
                      std::string& text, std::string& styles);

} // namespace marlo
