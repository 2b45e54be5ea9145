// Finds and replaces in a document with arbitrary texts, patterns and options, as the find
// and replace dialogs and F3 do, and checks that every search and Replace All ends (F3
// until nothing is found visits each place once), that Replace All is one step of undo
// which brings back what the text showed, and that nothing leaves the text.
//
// Input: one byte of options, one of the tab width, the text to find and the replacement
// (each ended by a NUL), then the document's text.
#include "core/error.h"
#include "core/search/search_options.h"
#include "core/text/memo_source.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace marlo;

void Require(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "fuzz_search_model: %s\n", what);
    std::abort();
  }
}

std::string Take(std::string_view& in) {
  size_t end = in.find('\0');
  std::string s(in.substr(0, end));
  in.remove_prefix(end == std::string_view::npos ? in.size() : end + 1);
  return s.substr(0, 16);
}

std::vector<std::string> Shown(const TCustomMemoSource& m) {
  std::vector<std::string> lines;
  for (int i = 0; i < m.LineCount(); ++i) {
    std::string l = m.LineText(i);
    while (!l.empty() && static_cast<unsigned char>(l.back()) <= 32) l.pop_back();
    lines.push_back(l);
  }
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  std::string_view in(reinterpret_cast<const char*>(data), size);
  const unsigned flags = static_cast<unsigned char>(in[0]);
  const int tab = 1 + static_cast<unsigned char>(in[1]) % 8;
  in.remove_prefix(2);
  TSearchOptions& o = SharedSearchOptions();
  o = TSearchOptions();
  o.TextToFind = Take(in);
  o.ReplaceWith = Take(in);
  std::erase_if(o.ReplaceWith, [](char c) { return c == '\r' || c == '\n'; }); // one line
  if (in.size() > 2000) in = in.substr(0, 2000);
  o.RegularExpr = flags & 1;
  o.CaseSensitive = flags & 2;
  o.WholeWordsOnly = flags & 4;
  o.Direction = flags & 8 ? TSearchDirection::sdBackward : TSearchDirection::sdForward;
  o.Origin = flags & 16 ? TSearchOrigin::soFromCursor : TSearchOrigin::soEntireScope;
  const TSearchOptions start = o;

  TMemoSource m;
  m.ConfigureAsDocument();
  m.SetSpacesInTab(tab);
  if (flags & 32) m.SetOption(soCursorAlwaysOnTabs, true);
  if (flags & 64) m.SetOption(soLimitEOL, false);
  m.LoadFromBytes(in);
  m.SetCaret(static_cast<int>(in.size() % 7), static_cast<int>(in.size() % 3));

  // Find, then F3 until nothing more: each place once, so no more finds than places.
  const int places = [&] {
    int n = 0;
    for (int i = 0; i < m.LineCount(); ++i) n += m.LineLength(i) + 2;
    return n;
  }();
  try {
    int finds = 0;
    for (bool found = m.FindText(); found; found = m.FindAgain())
      Require(++finds <= places, "F3 found more places than the text has");
  } catch (const Error&) {
    return 0; // an invalid pattern, or one too complex for its line
  }

  // Replace All: ends, and one Undo brings back what the text showed.
  const std::vector<std::string> before = Shown(m);
  o = start;
  o.ReplaceAll = true;
  try {
    m.ReplaceText();
  } catch (const Error&) {
    return 0; // a line grown past what a line may hold
  }
  for (int i = 0; i < m.LineCount(); ++i)
    Require(m.StoredLine(i).find_first_of("\r\n") == std::string_view::npos,
            "a line break in a line");
  Require(m.CaretY() >= 0 && m.CaretY() <= std::max(0, m.LineCount()), "caret outside the text");
  m.Undo();
  Require(Shown(m) == before, "one Undo does not bring back what Replace All changed");
  return 0;
}
