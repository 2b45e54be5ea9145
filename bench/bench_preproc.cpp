// The preprocessor's passes on a big generated source, and the same work written for GNU cpp
// and GNU m4 so that bench/preproc.sh can time them side by side.
//
//   bench_preproc --generate N FILE        a Zorbic source of N lines that declares a few
//                                          dozen TYPEs, a few hundred DEFINEs (half with
//                                          parameters) and GLOBALs, and uses them on most lines
//   bench_preproc --generate-cpp N FILE    the same macro uses for cpp, N lines
//   bench_preproc --generate-m4 N FILE     the same macro uses for m4, N lines
//   bench_preproc --run FILE [RUNS]        loads FILE as a document and times each pass and
//                                          the whole run, best of RUNS (default 3)
#include "core/platform/program_folder.h"
#include "core/preproc/preprocessor.h"
#include "core/shell/language_table.h"
#include "core/text/memo_source.h"
#include "gen_source.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using namespace marlo;
using Clock = std::chrono::steady_clock;

constexpr int kTypes = 40;
constexpr int kFieldsPerType = 4;
constexpr int kInstances = 80;
constexpr int kConstants = 150; // DEFINE kN, value
constexpr int kFunctions = 150; // DEFINE fN(2), text
constexpr int kGlobals = 300;

enum class Dialect { Zorbic, Cpp, M4 };

class Generator {
public:
  explicit Generator(Dialect dialect) : dialect_(dialect) {}

  std::string Source(int lines) {
    std::string out;
    out.reserve(static_cast<size_t>(lines) * 64);
    int written = Header(out);
    while (written < lines) {
      Line(out);
      out += dialect_ == Dialect::Zorbic ? "\r\n" : "\n";
      ++written;
    }
    return out;
  }

private:
  int Below(int n) { return random_.Below(n); }
  static std::string N(int i) { return std::to_string(i); }

  void Emit(std::string& out, const std::string& line, int& count) {
    out += line;
    out += dialect_ == Dialect::Zorbic ? "\r\n" : "\n";
    ++count;
  }

  // The declarations; returns how many lines they took.
  int Header(std::string& out) {
    int n = 0;
    switch (dialect_) {
    case Dialect::Zorbic:
      for (int t = 0; t < kTypes; ++t) {
        Emit(out, "TYPE shape" + N(t), n);
        Emit(out, "   x y z", n);
        Emit(out, "   speed(4)", n);
        Emit(out, "ENDTYPE", n);
      }
      for (int i = 0; i < kInstances; ++i)
        Emit(out, "DIMTYPE shape" + N(i % kTypes) + ", obj" + N(i), n);
      for (int k = 0; k < kConstants; ++k) Emit(out, "DEFINE k" + N(k) + ", " + N(k * 7), n);
      for (int f = 0; f < kFunctions; ++f)
        Emit(out, "DEFINE f" + N(f) + "(2), (%1+%2*" + N(f) + ")", n);
      for (int g = 0; g < kGlobals; g += 10) {
        std::string line = "GLOBAL ";
        for (int j = g; j < g + 10; ++j) line += (j > g ? ", g" : "g") + N(j);
        Emit(out, line, n);
      }
      break;
    case Dialect::Cpp:
      Emit(out, "#define S(i, f) i##_##f(1,1)", n);
      for (int k = 0; k < kConstants; ++k) Emit(out, "#define k" + N(k) + " " + N(k * 7), n);
      for (int f = 0; f < kFunctions; ++f)
        Emit(out, "#define f" + N(f) + "(a, b) (a+b*" + N(f) + ")", n);
      for (int g = 0; g < kGlobals; ++g) Emit(out, "#define g" + N(g) + " g" + N(g) + "(1)", n);
      break;
    case Dialect::M4:
      Emit(out, "changequote(`[', `]')dnl", n);
      Emit(out, "define([S], [$1_$2(1,1)])dnl", n);
      for (int k = 0; k < kConstants; ++k)
        Emit(out, "define([k" + N(k) + "], [" + N(k * 7) + "])dnl", n);
      for (int f = 0; f < kFunctions; ++f)
        Emit(out, "define([f" + N(f) + "], [($1+$2*" + N(f) + ")])dnl", n);
      for (int g = 0; g < kGlobals; ++g)
        Emit(out, "define([g" + N(g) + "], [G" + N(g) + "(1)])dnl", n);
      break;
    }
    return n;
  }

  std::string Instance() {
    const int i = Below(kInstances);
    static const char* const fields[kFieldsPerType] = {"x", "y", "z", "speed"};
    const int f = Below(3); // the undimensioned fields
    return dialect_ == Dialect::Zorbic ? "obj" + N(i) + "." + fields[f]
                                       : "S(obj" + N(i) + ", " + fields[f] + ")";
  }

  // One statement that uses a global, a define with parameters, a constant and (on most
  // lines) a structure instance, the same uses in every dialect.
  void Line(std::string& out) {
    const std::string g = "g" + N(Below(kGlobals));
    const std::string k = "k" + N(Below(kConstants));
    const std::string f = "f" + N(Below(kFunctions));
    const std::string h = "g" + N(Below(kGlobals));
    out += "   ";
    out += g;
    out += " = ";
    out += f;
    out += "(";
    out += h;
    out += ", ";
    out += k;
    out += ")";
    if (Below(10) < 8) {
      out += " + ";
      out += Instance();
    }
    out += " + ";
    out += N(Below(1000));
  }

  Dialect dialect_;
  bench::Random random_{42};
};

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path);
}

double BestSeconds(int runs, const std::function<void()>& work) {
  double best = 0;
  for (int r = 0; r < runs; ++r) {
    const auto t0 = Clock::now();
    work();
    const double s = std::chrono::duration<double>(Clock::now() - t0).count();
    if (r == 0 || s < best) best = s;
  }
  return best;
}

void Report(const char* name, size_t lines, double seconds) {
  std::printf("%s %zu %.6f %.0f\n", name, lines, seconds, static_cast<double>(lines) / seconds);
}

int Run(const std::string& path, int runs) {
  TLanguageTable language;
  language.LoadFromFile(platform::ProgramFolder() + "Language.txt");
  // The load as marlo-cli does it: the document's lines are read in place.
  TMemoSource doc;
  std::vector<std::string_view> views;
  const double load = BestSeconds(1, [&] {
    doc.ConfigureAsDocument();
    doc.LoadFromFile(path);
    views.resize(static_cast<size_t>(doc.LineCount()));
    for (int i = 0; i < doc.LineCount(); ++i) views[static_cast<size_t>(i)] = doc.StoredLine(i);
  });
  const preproc::TLineSpan source(views);

  preproc::TPreprocContext context;
  context.Texts = preproc::TPreprocTexts::FromLanguage(language);
  preproc::TStructPass structs;
  preproc::TDefinePass defines;
  preproc::TGlobalPass globals;
  preproc::TLineBlock afterStructs, afterDefines, afterGlobals;
  auto check = [&](bool ok, const char* what) {
    if (!ok) throw std::runtime_error(std::string(what) + " failed: " + context.ErrorMessage);
  };

  // Each pass on the lines it reads in a full run: its predecessor's output, without status
  // lines as marlo-cli runs it.
  context.Status.Keep(false);
  std::printf("# pass lines seconds lines_per_second\n");
  Report("load", source.Count(), load);
  const double tStructs = BestSeconds(runs, [&] {
    context.Status.Clear();
    check(structs.Run(source, afterStructs, context), "structure pass");
  });
  Report("types", source.Count(), tStructs);
  const double tDefines = BestSeconds(runs, [&] {
    context.Status.Clear();
    check(defines.Run(afterStructs, afterDefines, context), "define pass");
  });
  Report("defines", afterStructs.Count(), tDefines);
  const double tGlobals = BestSeconds(runs, [&] {
    context.Status.Clear();
    check(globals.Run(afterDefines, afterGlobals, context), "global pass");
  });
  Report("globals", afterDefines.Count(), tGlobals);

  // The whole run on the document's lines, without status lines as marlo-cli runs it, and
  // with them as the dialog does.
  preproc::TPreprocessor preprocessor(language);
  auto whole = [&](bool status) {
    preprocessor.KeepStatus(status);
    return BestSeconds(runs, [&] {
      preprocessor.Run(views, {true, true, true});
      check(!preprocessor.Failed(), "whole run");
    });
  };
  Report("all+status", source.Count(), whole(true));
  const size_t statusLines = preprocessor.Status().Count();
  Report("all", source.Count(), whole(false));
  std::printf("status_lines %zu\noutput_lines %zu\n", statusLines,
              preprocessor.OutputBlock().Count());
  std::fflush(stdout);
  std::_Exit(0); // freeing millions of lines would only slow the caller
}

// Google Benchmark cases on a small source, for profiling one pass at a time.
void BM_AllPasses(benchmark::State& state) {
  TLanguageTable language;
  language.LoadFromBytes("preGlobalTrue=TRUE\npreGlobalFalse=FALSE\n");
  TMemoSource doc;
  doc.ConfigureAsDocument();
  doc.LoadFromBytes(Generator(Dialect::Zorbic).Source(static_cast<int>(state.range(0))));
  std::vector<std::string_view> lines;
  for (int i = 0; i < doc.LineCount(); ++i) lines.push_back(doc.StoredLine(i));
  preproc::TPreprocessor preprocessor(language);
  preprocessor.KeepStatus(false);
  for (auto _ : state) {
    preprocessor.Run(lines, {true, true, true});
    benchmark::DoNotOptimize(preprocessor.OutputBlock().Joined().size());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_AllPasses)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  try {
    if (argc == 4 && std::strncmp(argv[1], "--generate", 10) == 0) {
      const std::string mode = argv[1];
      const Dialect d = mode == "--generate-cpp"  ? Dialect::Cpp
                        : mode == "--generate-m4" ? Dialect::M4
                                                  : Dialect::Zorbic;
      WriteFile(argv[3], Generator(d).Source(std::atoi(argv[2])));
      return 0;
    }
    if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "--run") == 0)
      return Run(argv[2], argc == 4 ? std::atoi(argv[3]) : 3);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_preproc: %s\n", e.what());
    return 1;
  }
  return 0;
}
