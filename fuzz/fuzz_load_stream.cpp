// Loads arbitrary bytes as a source file, the way a document opens one, and checks what the
// lines become: no line breaks or NULs inside a line, no trailing blanks, exactly the lines
// the splitting rules give, the same lines in a frozen copy, and a save that loads back to
// the same lines.
#include "core/text/memo_source.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace marlo;

void Require(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "fuzz_load_stream: %s\n", what);
    std::abort();
  }
}

// What a bulk load must make of `bytes`, written out plainly: cut at CR LF, lone CR and lone
// LF, ended by a NUL, no empty line after a final break, trailing characters up to code 32
// dropped, every tab widened to `spacesInTab` spaces unless tabs are kept.
std::vector<std::string> ExpectedLines(std::string_view bytes, int spacesInTab, bool keepTabs) {
  bytes = bytes.substr(0, bytes.find('\0'));
  std::vector<std::string> lines;
  std::string line;
  auto finish = [&] {
    while (!line.empty() && static_cast<unsigned char>(line.back()) <= 32) line.pop_back();
    lines.push_back(line);
    line.clear();
  };
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\r') {
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      finish();
    } else if (c == '\n') {
      finish();
    } else if (c == '\t' && !keepTabs) {
      line.append(static_cast<size_t>(spacesInTab), ' ');
    } else {
      line += c;
    }
  }
  if (!line.empty()) finish();
  return lines;
}

std::vector<std::string> StoredLines(const TCustomMemoSource& doc) {
  std::vector<std::string> lines;
  for (int i = 0; i < doc.LineCount(); ++i) lines.emplace_back(doc.StoredLine(i));
  return lines;
}

void CheckLoaded(TCustomMemoSource& doc, std::string_view bytes) {
  const bool keepTabs = doc.Has(soUseTabCharacter);
  const std::vector<std::string> lines = StoredLines(doc);
  for (const std::string& s : lines) {
    Require(s.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos,
            "a line holds CR, LF or NUL");
    Require(s.empty() || static_cast<unsigned char>(s.back()) > 32, "a line ends in a blank");
    Require(keepTabs || s.find('\t') == std::string::npos, "a tab was stored");
  }
  Require(lines == ExpectedLines(bytes, doc.SpacesInTab(), keepTabs),
          "the lines differ from the splitting rules");
  const TFrozenLines frozen = doc.Strings().Freeze();
  TFrozenLines::TReader reader(frozen);
  Require(frozen.Count() == static_cast<int>(lines.size()), "a frozen copy counts otherwise");
  for (const std::string& s : lines) Require(reader.Next() == s, "a frozen copy reads otherwise");
  Require(doc.Lines().Count() == doc.LineCount(), "Lines().Count() differs from LineCount()");
  Require(doc.CaretX() == 0 && doc.CaretY() == 0, "the caret is not at the start");
  Require(!doc.HasSelection(), "a load left a selection");
  Require(!doc.CanUndo() && !doc.CanRedo(), "a load left undo or redo steps");
  Require(!doc.Modified(), "a load left the document modified");
}

// Saves with the document's line ends and loads the bytes into a second document set up the
// same way.
void CheckSaveReloads(TCustomMemoSource& doc, TCustomMemoSource& other) {
  const std::vector<std::string> lines = StoredLines(doc);
  const std::string saved = doc.SaveToBytes();
  std::string expected;
  const char* ends[] = {"\r\n", "\r", "\n"};
  for (size_t i = 0; i < lines.size(); ++i) {
    if (doc.OutFormat() == ofWindows && i > 0) expected += "\r\n";
    expected += lines[i];
    if (doc.OutFormat() != ofWindows) expected += ends[doc.OutFormat()];
  }
  Require(saved == expected, "the saved bytes are not the lines with their line ends");
  if (doc.OutFormat() == ofWindows) Require(doc.Lines().Text() == saved, "Text() differs");

  other.LoadFromBytes(saved);
  std::vector<std::string> reloaded = StoredLines(other);
  if (doc.OutFormat() == ofWindows && !lines.empty() && lines.back().empty()) {
    // Without a break after the last line, an empty last line has nothing to stand for it.
    reloaded.emplace_back();
  }
  Require(reloaded == lines, "the saved text does not load back to the same lines");
}

struct Setup {
  bool document;   // the options a document window uses
  bool keepTabs;   // soUseTabCharacter
  int spacesInTab; // asked for; out-of-range values fall back to the default
  TOutFormatType format;
};

void Configure(TMemoSource& doc, const Setup& s) {
  if (s.document) doc.ConfigureAsDocument();
  doc.SetOption(soUseTabCharacter, s.keepTabs);
  doc.SetSpacesInTab(s.spacesInTab);
  doc.SetOutFormat(s.format);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const Setup setups[] = {
      {true, false, 3, ofWindows},
      {true, true, 3, ofUnix},
      {false, false, static_cast<int>(size % 12), ofMac},
      {false, true, 8, ofWindows},
  };
  for (const Setup& s : setups) {
    TMemoSource doc, fromStream, other;
    Configure(doc, s);
    Configure(fromStream, s);
    Configure(other, s);

    doc.LoadFromBytes(bytes);
    CheckLoaded(doc, bytes);

    // A stream is read from where it stands, not from its beginning.
    const size_t skip = size % 3;
    std::istringstream stream(bytes);
    stream.ignore(static_cast<std::streamsize>(skip));
    fromStream.LoadFromStream(stream);
    CheckLoaded(fromStream, std::string_view(bytes).substr(skip < size ? skip : size));

    CheckSaveReloads(doc, other);
  }
  return 0;
}
