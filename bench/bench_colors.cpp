// Speed of colouring: whole files through the colouring cache, one very long line of
// words against ordinary code, and how much a typed block-remark opener re-colours.
//
//   bench_colors --color-file FILE KEYWORDS   colours every line of FILE loaded as a
//                                             document; prints the best of 5 runs
//   bench_colors --one-line KEYWORDS FILE     per-byte cost of a 1 MB line of short words
//                                             and of ordinary code (FILE), best of 5
//   bench_colors --remstart FILE KEYWORDS     types "remstart" on line 10 with lines 0-59
//                                             shown and prints how many lines were scanned
#include "core/syntax/my_parser.h"
#include "core/text/memo_source.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using marlo::TMemoSource;
using marlo::TMyParser;

double Seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

class CountingParser : public TMyParser {
public:
  using TMyParser::TMyParser;
  void SetLineIndex(int index) override {
    ++scanned;
    TMyParser::SetLineIndex(index);
  }
  long scanned = 0;
};

void LoadDocument(TMemoSource& doc, const char* file) {
  doc.ConfigureAsDocument();
  doc.LoadFromFile(file);
}

int ColorFile(const char* file, const char* keywordFile) {
  TMemoSource doc;
  LoadDocument(doc, file);
  TMyParser parser(marlo::LoadKeywordFile(keywordFile));
  size_t bytes = 0;
  for (int i = 0; i < doc.LineCount(); ++i) bytes += doc.StoredLine(i).size();
  double best = 1e9;
  for (int run = 0; run < 5; ++run) {
    doc.SetSyntaxParser(nullptr);
    doc.SetSyntaxParser(&parser);
    auto t0 = Clock::now();
    doc.ColorLines(0, doc.LineCount() - 1, true);
    best = std::min(best, Seconds(Clock::now() - t0));
  }
  std::printf("lines %d\nbytes %zu\ncolor_s %.4f\n", doc.LineCount(), bytes, best);
  doc.SetSyntaxParser(nullptr);
  return 0;
}

double PerByte(TMyParser& parser, const std::vector<std::string>& lines) {
  size_t bytes = 0;
  for (const auto& l : lines) bytes += l.size();
  double best = 1e9;
  std::string colors;
  for (int run = 0; run < 5; ++run) {
    auto t0 = Clock::now();
    int state = 0;
    for (const auto& l : lines) {
      colors.assign(l.size(), '\0');
      state = l.empty() ? state : parser.ColorString(l, state, colors);
    }
    best = std::min(best, Seconds(Clock::now() - t0));
  }
  return best * 1e9 / static_cast<double>(bytes);
}

int OneLine(const char* keywordFile, const char* codeFile) {
  TMyParser parser(marlo::LoadKeywordFile(keywordFile));
  // Short words, some of them keywords, one space apart: one run of words 1 MB long.
  static const char* const words[] = {"a", "print", "x", "sync", "on", "if", "b1", "then", "q"};
  std::string line;
  for (size_t i = 0; line.size() < (size_t(1) << 20); ++i) {
    line += words[i % (sizeof words / sizeof *words)];
    line += ' ';
  }
  TMemoSource doc;
  LoadDocument(doc, codeFile);
  std::vector<std::string> code;
  for (int i = 0; i < doc.LineCount(); ++i) code.emplace_back(doc.StoredLine(i));
  std::printf("one_line_bytes %zu\nwords_ns_per_byte %.3f\ncode_ns_per_byte %.3f\n", line.size(),
              PerByte(parser, {line}), PerByte(parser, code));
  return 0;
}

int RemStart(const char* file, const char* keywordFile) {
  TMemoSource doc;
  LoadDocument(doc, file);
  CountingParser parser(marlo::LoadKeywordFile(keywordFile));
  doc.SetSyntaxParser(&parser);
  doc.EnsureLineColored(59, true); // a view shows lines 0-59
  parser.scanned = 0;
  doc.SetCaret(0, 10);
  doc.InsertText("remstart ");
  doc.EnsureLineColored(59, true); // it repaints the changed lines it shows
  std::printf("lines %d\nscanned_after_edit %ld\n", doc.LineCount(), parser.scanned);
  doc.SetSyntaxParser(nullptr);
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  try {
    if (argc == 4 && std::strcmp(argv[1], "--color-file") == 0) return ColorFile(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "--one-line") == 0) return OneLine(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "--remstart") == 0) return RemStart(argv[2], argv[3]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_colors: %s\n", e.what());
    return 1;
  }
  std::fprintf(stderr, "usage: bench_colors --color-file FILE KEYWORDS | --one-line KEYWORDS "
                       "FILE | --remstart FILE KEYWORDS\n");
  return 2;
}
