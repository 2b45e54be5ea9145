// Colouring and export of a generated 1,000,000-line source (about 29 MB) to HTML and RTF,
// each run from an uncoloured text, the output going to a stream that discards it.
// usage: bench_export [--lines=N] [benchmark flags]
#include "core/export/code_html_exporter.h"
#include "core/export/code_rtf_exporter.h"
#include "core/export/export_text.h"
#include "core/syntax/my_parser.h"
#include "core/text/memo_source.h"
#include "gen_source.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>

namespace {

using namespace marlo;

int g_lines = 1000000;

// Counts what is written and keeps nothing.
class TCountingBuffer : public std::streambuf {
public:
  long long Count() const { return count_; }

protected:
  int_type overflow(int_type ch) override {
    ++count_;
    return traits_type::not_eof(ch);
  }
  std::streamsize xsputn(const char*, std::streamsize n) override {
    count_ += n;
    return n;
  }

private:
  long long count_ = 0;
};

struct TDocument {
  TMemoSource Source;
  TMyParser Parser{{"for",
                    "to",
                    "next",
                    "do",
                    "loop",
                    "while",
                    "endwhile",
                    "if",
                    "then",
                    "else",
                    "endif",
                    "repeat",
                    "until",
                    "function",
                    "endfunction",
                    "print",
                    "gosub",
                    "return",
                    "exit",
                    "sync",
                    "rnd",
                    "make object cube",
                    "position object"}};
  TMemoColors Control;
  TTextStyles Styles{&Control};
  long long Bytes = 0;

  TDocument() {
    std::string text;
    bench::SourceGenerator(20240501).Generate(g_lines, text);
    Bytes = static_cast<long long>(text.size());
    Source.ConfigureAsDocument();
    Source.LoadFromBytes(text);
    Source.SetSyntaxParser(&Parser);
    Styles.LoadDocumentStyles();
  }
  ~TDocument() { Source.SetSyntaxParser(nullptr); }
};

TDocument& Document() {
  static TDocument* doc = new TDocument; // lives for the process: freeing it costs time
  return *doc;
}

// state.range(0): lines of a piece formatted beside another; 0 formats the text in one go.
template <class TExporter> void BM_ColorAndExport(benchmark::State& state) {
  TDocument& doc = Document();
  const int pieceLines = ExportPieceLines;
  ExportPieceLines = static_cast<int>(state.range(0));
  long long written = 0;
  for (auto _ : state) {
    state.PauseTiming();
    doc.Source.ResetColors();
    state.ResumeTiming();
    TCountingBuffer counter;
    std::ostream out(&counter);
    TExporter exporter(out);
    ExportText(exporter, doc.Source, doc.Styles, doc.Control, true);
    written = counter.Count();
  }
  ExportPieceLines = pieceLines;
  state.counters["source_MB"] = static_cast<double>(doc.Bytes) / 1e6;
  state.counters["output_MB"] = static_cast<double>(written) / 1e6;
  state.SetBytesProcessed(state.iterations() * doc.Bytes);
}

void BM_ColorOnly(benchmark::State& state) {
  TDocument& doc = Document();
  for (auto _ : state) {
    state.PauseTiming();
    doc.Source.ResetColors();
    state.ResumeTiming();
    doc.Source.ColorLines(0, doc.Source.LineCount() - 1, true);
  }
  state.SetBytesProcessed(state.iterations() * doc.Bytes);
}

} // namespace

BENCHMARK(BM_ColorOnly)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ColorAndExport<TCodeHTMLExporter>)
    ->Arg(0)
    ->Arg(ExportPieceLines)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(BM_ColorAndExport<TCodeRTFExporter>)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

int main(int argc, char** argv) {
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--lines=", 8) == 0)
      g_lines = std::atoi(argv[i] + 8);
    else
      argv[kept++] = argv[i];
  }
  argc = kept;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
