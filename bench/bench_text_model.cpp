// Speed of the text model on large sources: loading, editing deep inside a long text,
// undoing a change of every line, saving.
//
//   bench_text_model [--source=FILE] [benchmark flags]  the benchmarks; FILE holds the
//                                                       1,000,000-line source (made in a
//                                                       temporary folder when not given)
//   bench_text_model --generate LINES FILE              writes a generated source
//   bench_text_model --load-only FILE                   loads FILE once into a document
//                                                       and prints the time and the memory
#include "core/text/memo_source.h"
#include "gen_source.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using marlo::TMemoSource;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr int kBigLines = 1'000'000;

std::string g_sourcePath; // the big source; empty until given or generated
fs::path g_tempDir;

const fs::path& TempDir() {
  if (g_tempDir.empty()) {
    g_tempDir = fs::temp_directory_path() / ("marlo-bench-" + std::to_string(getpid()));
    fs::create_directories(g_tempDir);
  }
  return g_tempDir;
}

const std::string& BigSource() {
  if (g_sourcePath.empty()) {
    g_sourcePath = (TempDir() / "big.zba").string();
    marlo::bench::WriteSourceFile(g_sourcePath, kBigLines);
  }
  return g_sourcePath;
}

double Nanoseconds(Clock::duration d) {
  return static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(d).count());
}

std::unique_ptr<TMemoSource> NewDocument() {
  auto doc = std::make_unique<TMemoSource>();
  doc->ConfigureAsDocument();
  doc->SetOverwrite(false); // the mode is shared by every model of the process
  return doc;
}

// One loaded document per size, shared by the benchmarks so that a long text is read once.
TMemoSource& Document(int lines) {
  static std::map<int, std::unique_ptr<TMemoSource>> cache;
  auto& slot = cache[lines];
  if (!slot) {
    slot = NewDocument();
    if (lines == kBigLines) {
      slot->LoadFromFile(BigSource());
    } else {
      slot->LoadFromBytes(marlo::bench::GenerateSource(lines));
    }
  }
  slot->SetOverwrite(false);
  return *slot;
}

// Puts the caret behind a non-blank character inside an unindented line at or after line
// `near`, where a typed character or Enter followed by Backspace gives back the same text.
bool PlaceForEditing(TMemoSource& doc, int near) {
  for (int y = near; y < doc.LineCount(); ++y) {
    const std::string_view s = doc.StoredLine(y);
    if (s.size() < 8 || s[0] == ' ' || s.find('\t') != std::string_view::npos) continue;
    size_t c = s.size() / 2;
    while (c > 1 && s[c - 1] == ' ') --c;
    if (s[c - 1] == ' ') continue;
    doc.SetCaret(static_cast<long long>(c), y);
    doc.ClearSelection();
    return doc.CaretY() == y && doc.CaretX() == static_cast<int>(c);
  }
  return false;
}

// Runs `op` (which must leave the text as it found it) at the middle of a text of
// state.range(0) lines.
template <typename Op> void EditInPlace(benchmark::State& state, Op op) {
  const int lines = static_cast<int>(state.range(0));
  TMemoSource& doc = Document(lines);
  if (doc.LineCount() != lines) return state.SkipWithError("the source has the wrong size");
  if (!PlaceForEditing(doc, lines / 2)) return state.SkipWithError("no line to edit");
  const int y = doc.CaretY();
  const std::string before(doc.StoredLine(y));
  int64_t n = 0;
  for (auto _ : state) {
    op(doc);
    if ((++n & 4095) == 0) {
      // Keeps the undo list, which grows with every command, from dominating memory.
      state.PauseTiming();
      doc.ClearUndo();
      state.ResumeTiming();
    }
  }
  doc.ClearUndo();
  if (doc.LineCount() != lines || doc.CaretY() != y || doc.StoredLine(y) != before)
    state.SkipWithError("the command pair did not give back the text");
}

void TypeBackSpace(benchmark::State& state) {
  EditInPlace(state, [](TMemoSource& doc) {
    doc.TypeChar('x');
    doc.BackSpace();
  });
}

void EnterBackSpace(benchmark::State& state) {
  EditInPlace(state, [](TMemoSource& doc) {
    doc.InsertNewLine();
    doc.BackSpace();
  });
}

void LoadFile(benchmark::State& state) {
  const std::string& path = BigSource();
  for (auto _ : state) {
    auto doc = NewDocument();
    const auto t0 = Clock::now();
    doc->LoadFromFile(path);
    state.SetIterationTime(Nanoseconds(Clock::now() - t0) * 1e-9);
    if (doc->LineCount() != kBigLines) return state.SkipWithError("wrong line count");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(path)));
}

void LoadBytes(benchmark::State& state) {
  const std::string bytes = marlo::bench::GenerateSource(kBigLines);
  for (auto _ : state) {
    auto doc = NewDocument();
    const auto t0 = Clock::now();
    doc->LoadFromBytes(bytes);
    state.SetIterationTime(Nanoseconds(Clock::now() - t0) * 1e-9);
    if (doc->LineCount() != kBigLines) return state.SkipWithError("wrong line count");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}

// Indents every line as one block, then times the undo of it. The indent is timed too and
// shown as a counter; the undo must give back the text byte for byte.
void UndoIndentAll(benchmark::State& state) {
  const int lines = static_cast<int>(state.range(0));
  TMemoSource& doc = Document(lines);
  if (doc.LineCount() != lines) return state.SkipWithError("the source has the wrong size");
  doc.ClearUndo();
  const std::string original = doc.SaveToBytes();
  int probe = 0;
  while (probe < lines && doc.StoredLine(probe).empty()) ++probe;
  const size_t probeLength = doc.StoredLine(probe).size();
  double indentNs = 0, undoNs = 0;
  for (auto _ : state) {
    doc.SelectAll();
    const auto t0 = Clock::now();
    doc.IndentBlock();
    const auto t1 = Clock::now();
    if (doc.StoredLine(probe).size() != probeLength + static_cast<size_t>(doc.BlockIndent()))
      return state.SkipWithError("IndentBlock did not indent the text");
    doc.Undo();
    const auto t2 = Clock::now();
    indentNs += Nanoseconds(t1 - t0);
    undoNs += Nanoseconds(t2 - t1);
    state.SetIterationTime(Nanoseconds(t2 - t1) * 1e-9);
    if (doc.SaveToBytes() != original) return state.SkipWithError("Undo did not restore");
    doc.ClearUndo();
  }
  const double perLine = static_cast<double>(state.iterations()) * lines;
  state.counters["indent_ns_per_line"] = indentNs / perLine;
  state.counters["undo_ns_per_line"] = undoNs / perLine;
}

// A reload of the whole text from disk as one undoable change, then its undo; both must
// cost the same per line at every size. The undo must give back the text byte for byte.
void ReloadUndo(benchmark::State& state) {
  const int lines = static_cast<int>(state.range(0));
  TMemoSource& doc = Document(lines);
  if (doc.LineCount() != lines) return state.SkipWithError("the source has the wrong size");
  doc.ClearUndo();
  const std::string original = doc.SaveToBytes();
  const std::string disk = marlo::bench::GenerateSource(lines + 7);
  double reloadNs = 0, undoNs = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    doc.ReplaceAllText(disk);
    const auto t1 = Clock::now();
    doc.Undo();
    const auto t2 = Clock::now();
    reloadNs += Nanoseconds(t1 - t0);
    undoNs += Nanoseconds(t2 - t1);
    state.SetIterationTime(Nanoseconds(t2 - t0) * 1e-9);
    if (doc.SaveToBytes() != original) return state.SkipWithError("Undo did not restore");
    doc.ClearUndo();
  }
  const double perLine = static_cast<double>(state.iterations()) * lines;
  state.counters["reload_ns_per_line"] = reloadNs / perLine;
  state.counters["undo_ns_per_line"] = undoNs / perLine;
}

void SaveBytes(benchmark::State& state) {
  TMemoSource& doc = Document(kBigLines);
  size_t size = 0;
  for (auto _ : state) {
    std::string bytes = doc.SaveToBytes();
    size = bytes.size();
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(size));
}

void SaveFile(benchmark::State& state) {
  TMemoSource& doc = Document(kBigLines);
  const std::string path = (TempDir() / "saved.zba").string();
  for (auto _ : state) doc.SaveToFile(path);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fs::file_size(path)));
}

double Minimum(const std::vector<double>& v) {
  return *std::min_element(v.begin(), v.end());
}

void RegisterBenchmarks() {
  using benchmark::RegisterBenchmark;
  RegisterBenchmark("load_file", LoadFile)
      ->Arg(kBigLines)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  RegisterBenchmark("load_bytes", LoadBytes)
      ->Arg(kBigLines)
      ->UseManualTime()
      ->Unit(benchmark::kMillisecond);
  // Repeated, and judged by their fastest run: the machine is shared and noisy.
  for (auto* b : {RegisterBenchmark("type_backspace", TypeBackSpace),
                  RegisterBenchmark("enter_backspace", EnterBackSpace)}) {
    b->Arg(1000)->Arg(kBigLines)->Repetitions(5)->ReportAggregatesOnly(true)->ComputeStatistics(
        "min", Minimum);
  }
  const std::pair<int, int> undoSizes[] = {{10'000, 20}, {100'000, 5}, {kBigLines, 2}};
  for (auto [lines, iterations] : undoSizes) {
    RegisterBenchmark("undo_indent_all", UndoIndentAll)
        ->Arg(lines)
        ->Iterations(iterations)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
  }
  for (auto [lines, iterations] : undoSizes) {
    RegisterBenchmark("reload_undo", ReloadUndo)
        ->Arg(lines)
        ->Iterations(iterations)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
  }
  RegisterBenchmark("save_bytes", SaveBytes)->Arg(kBigLines)->Unit(benchmark::kMillisecond);
  RegisterBenchmark("save_file", SaveFile)->Arg(kBigLines)->Unit(benchmark::kMillisecond);
}

// A "Vm...:" value of /proc/self/status in bytes, or -1 where there is none.
long long StatusBytes(const char* key) {
  std::ifstream f("/proc/self/status");
  std::string line;
  const size_t n = std::strlen(key);
  while (std::getline(f, line)) {
    if (line.compare(0, n, key) == 0) return std::atoll(line.c_str() + n) * 1024;
  }
  return -1;
}

int LoadOnly(const std::string& path) {
  const long long base = StatusBytes("VmHWM:");
  auto doc = NewDocument();
  const auto t0 = Clock::now();
  doc->LoadFromFile(path);
  const double ns = Nanoseconds(Clock::now() - t0);
  const long long peak = StatusBytes("VmHWM:");
  std::printf("lines %d\nfile_bytes %lld\nload_ns %.0f\npeak_bytes %lld\nbase_bytes %lld\n",
              doc->LineCount(), static_cast<long long>(fs::file_size(path)), ns, peak, base);
  std::fflush(stdout);
  // The process ends here; freeing a million lines would only slow the caller's loop.
  std::_Exit(0);
}

} // namespace

int main(int argc, char** argv) {
  try {
    if (argc == 4 && std::strcmp(argv[1], "--generate") == 0) {
      marlo::bench::WriteSourceFile(argv[3], std::atoi(argv[2]));
      return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "--load-only") == 0) return LoadOnly(argv[2]);
    // Takes our own flag out before the library sees the rest.
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
      if (std::strncmp(argv[i], "--source=", 9) == 0) {
        g_sourcePath = argv[i] + 9;
      } else {
        argv[kept++] = argv[i];
      }
    }
    argc = kept;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RegisterBenchmarks();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_text_model: %s\n", e.what());
    if (!g_tempDir.empty()) fs::remove_all(g_tempDir);
    return 1;
  }
  if (!g_tempDir.empty()) fs::remove_all(g_tempDir);
  return 0;
}
