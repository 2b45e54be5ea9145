// Builds the list of a step-through over arbitrary lines: the passes the first byte enables
// (when defines or globals start the preprocessor), then the break lines with the command
// given by the first line. Every line keeps one map entry, the map never decreases and
// stays inside the document, the lines before the breaks come back in order, and each break
// is the command with its "#"s numbered, after exactly the lines the plain rules name.
#include "core/build/build_list.h"
#include "preproc_fuzz_util.h"

#include <algorithm>
#include <sstream>

namespace {

using marlo::fuzz::Require;
constexpr const char* kTarget = "fuzz_break_lines";

std::string Upper(std::string_view s) {
  std::string u(s);
  for (char& c : u)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return u;
}

// The rules of a step-through, written plainly: true when a break follows `line`.
bool NaiveBreak(std::string_view line, bool& inBlock) {
  size_t b = 0, e = line.size();
  while (b < e && static_cast<unsigned char>(line[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(line[e - 1]) <= 32) --e;
  const std::string t = Upper(line.substr(b, e - b));
  if (t.empty()) return false;
  if (t.find("REMSTART") != std::string::npos) {
    inBlock = true;
    return false;
  }
  if (t.find("REMEND") != std::string::npos) {
    inBlock = false;
    return false;
  }
  if (t.compare(0, 3, "REM") == 0 || t[0] == '`') return false;
  return !inBlock;
}

void RequireSoundMap(const marlo::build::TBuildList& list, size_t documentLines) {
  Require(list.LineMap.size() == list.Lines.Count(), kTarget, "not one map entry per line");
  Require(std::is_sorted(list.LineMap.begin(), list.LineMap.end()), kTarget,
          "the map goes backwards");
  for (const int line : list.LineMap)
    Require(line >= 0 && static_cast<size_t>(line) < documentLines, kTarget,
            "a map entry outside the document");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace marlo;
  if (size == 0) return 0;
  const preproc::TPreprocOptions options{(data[0] & 1) != 0, (data[0] & 2) != 0,
                                         (data[0] & 4) != 0};
  std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  const size_t eol = rest.find('\n');
  const std::string command(rest.substr(0, eol));
  rest = eol == std::string_view::npos ? std::string_view() : rest.substr(eol + 1);
  const std::vector<std::string> document = fuzz::CutLines(rest);

  build::TBuildList list = build::MakeBuildList(document);
  RequireSoundMap(list, document.size());
  if (options.DefineEnabled || options.GlobalEnabled) {
    preproc::TPreprocessor p(fuzz::FuzzLanguage(true));
    p.KeepStatus(false);
    p.Run(document, options);
    if (p.Failed()) {
      Require(p.ErrorOrigin() >= 0 && static_cast<size_t>(p.ErrorOrigin()) <= document.size(),
              kTarget, "an error traced outside the document");
      return 0;
    }
    build::TakePreprocessorOutput(list, p);
    Require(list.Lines.Lines() == p.Output(), kTarget, "the output was not taken whole");
    RequireSoundMap(list, document.size());
  }

  const std::vector<std::string> before = list.Lines.Lines();
  const std::vector<int> mapBefore = list.LineMap;
  build::InsertBreakLines(list, command);
  RequireSoundMap(list, document.size());

  size_t k = 0;
  bool inBlock = false;
  for (size_t i = 0; i < before.size(); ++i) {
    Require(k < list.Lines.Count() && list.Lines[k] == before[i], kTarget, "a line lost");
    Require(list.LineMap[k] == mapBefore[i], kTarget, "a line moved in the map");
    ++k;
    if (!NaiveBreak(before[i], inBlock)) continue;
    std::string expected;
    for (const char c : command) {
      if (c == '#')
        expected += std::to_string(i + 1);
      else
        expected += c;
    }
    Require(k < list.Lines.Count() && list.Lines[k] == expected, kTarget, "a wrong break line");
    Require(list.LineMap[k] == mapBefore[i], kTarget, "a break maps elsewhere");
    ++k;
  }
  Require(k == list.Lines.Count(), kTarget, "a line too many");

  std::ostringstream text;
  build::WriteBuildText(list, text);
  size_t bytes = 0;
  for (size_t i = 0; i < list.Lines.Count(); ++i) bytes += list.Lines[i].size() + 2;
  Require(text.str().size() == bytes, kTarget, "the file's bytes miscounted");
  return 0;
}
