#include "core/build/build_list.h"

#include "core/ascii.h"
#include "core/platform/atomic_file_writer.h"
#include "core/platform/memory.h"
#include "core/preproc/preproc_text.h"
#include "core/preproc/preprocessor.h"
#include "core/text/memo_source.h"

#include <algorithm>
#include <charconv>
#include <exception>
#include <ostream>

namespace marlo::build {

namespace {

// An empty map with room for `lines` entries, on huge pages when it is big.
std::vector<int> NewMap(size_t lines) {
  std::vector<int> map;
  map.reserve(lines);
  platform::AdviseHugePages(map.data(), lines * sizeof(int));
  return map;
}

void IdentityMap(TBuildList& list) {
  const size_t count = list.Lines.Count();
  list.LineMap = NewMap(count);
  for (size_t i = 0; i < count; ++i) list.LineMap.push_back(static_cast<int>(i));
}

// Whether a step-through break follows `line`; follows the REMSTART ... REMEND blocks.
bool TakesBreak(std::string_view line, bool& inBlock) {
  const std::string_view t = Trim(line);
  if (t.empty()) return false;
  switch (preproc::FindRemarkWords(t)) {
  case preproc::kRemStart:
    inBlock = true;
    return false;
  case preproc::kRemEnd:
    inBlock = false;
    return false;
  case preproc::kNoRemarkWords:
    break;
  }
  if (preproc::StartsWithNoCase(t, "REM") || t[0] == '`') return false;
  return !inBlock;
}

} // namespace

TBuildList MakeBuildList(const TCustomMemoSource& source) {
  TBuildList list;
  const int count = source.LineCount();
  size_t bytes = 0;
  for (int i = 0; i < count; ++i) bytes += source.StoredLine(i).size();
  list.Lines.Reserve(static_cast<size_t>(count), bytes);
  for (int i = 0; i < count; ++i) {
    // A document stores no tabs, so only a line that still holds one needs expanding.
    const std::string_view stored = source.StoredLine(i);
    if (stored.find('\t') == std::string_view::npos)
      list.Lines.Add(stored);
    else
      list.Lines.Add(source.LineText(i));
  }
  IdentityMap(list);
  return list;
}

TBuildList MakeBuildList(std::span<const std::string> lines) {
  TBuildList list;
  list.Lines.Assign(lines);
  IdentityMap(list);
  return list;
}

void TakePreprocessorOutput(TBuildList& list, const preproc::TPreprocessor& done) {
  const preproc::TLineBlock& output = done.OutputBlock();
  std::vector<int> map = NewMap(output.Count());
  const size_t known = list.LineMap.size();
  for (size_t i = 0; i < output.Count(); ++i) {
    const size_t origin = static_cast<size_t>(std::max(done.LineOrigin(i), 0));
    map.push_back(known == 0 ? 0 : list.LineMap[std::min(origin, known - 1)]);
  }
  list.Lines.Clear();
  list.Lines.Reserve(output.Count(), output.Joined().size());
  list.Lines.Append(output);
  list.LineMap = std::move(map);
}

void InsertBreakLines(TBuildList& list, std::string_view breakCommand) {
  // The command cut at its "#"s: the number goes between the pieces.
  std::vector<std::string_view> pieces;
  for (size_t at = 0;;) {
    const size_t hash = breakCommand.find('#', at);
    pieces.push_back(breakCommand.substr(at, hash - at));
    if (hash == std::string_view::npos) break;
    at = hash + 1;
  }
  const preproc::TLineBlock& lines = list.Lines;
  const size_t count = lines.Count();
  preproc::TLineBlock out;
  out.Reserve(2 * count, lines.Joined().size() + count * (breakCommand.size() + 8));
  std::vector<int> map = NewMap(2 * count);
  bool inBlock = false;
  for (size_t i = 0; i < count; ++i) {
    const std::string_view line = lines[i];
    out.Add(line);
    map.push_back(list.LineMap[i]);
    if (!TakesBreak(line, inBlock)) continue;
    char digits[24];
    const char* end = std::to_chars(digits, digits + sizeof digits, i + 1).ptr;
    const std::string_view number(digits, static_cast<size_t>(end - digits));
    std::string& text = out.Text();
    text.append(pieces[0]);
    for (size_t k = 1; k < pieces.size(); ++k) text.append(number).append(pieces[k]);
    out.EndLine();
    map.push_back(list.LineMap[i]);
  }
  list.Lines.Swap(out);
  list.LineMap = std::move(map);
}

void WriteBuildText(const TBuildList& list, std::ostream& out) {
  constexpr size_t kPiece = size_t(1) << 20;
  const preproc::TLineBlock& lines = list.Lines;
  std::string piece;
  // Each line's LF in the block becomes CR LF here.
  piece.reserve(std::min(kPiece + 4096, lines.Joined().size() + lines.Count()));
  for (size_t i = 0; i < lines.Count(); ++i) {
    piece.append(lines[i]).append("\r\n");
    if (piece.size() >= kPiece) {
      out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
      piece.clear();
    }
  }
  out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
}

bool WriteBuildFile(const std::string& path, const TBuildList& list, std::string& error) {
  try {
    platform::TAtomicFileWriter writer(path);
    WriteBuildText(list, writer.Stream());
    writer.Commit();
  } catch (const std::exception& e) {
    error = e.what();
    return false;
  }
  return true;
}

int DocumentLine(const TBuildList& list, std::uint64_t tempLine1) {
  const size_t count = list.LineMap.size();
  if (count == 0) return 0;
  const std::uint64_t line = std::clamp<std::uint64_t>(tempLine1, 1, count);
  return list.LineMap[static_cast<size_t>(line - 1)];
}

} // namespace marlo::build
