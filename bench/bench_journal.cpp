// What the recovery journal costs the UI thread (its own running time, whatever the
// journal's worker does meanwhile) on a generated 1,000,000-line source: typing deep inside
// the text with and without a journal, starting a journal, and indenting every line (its
// time, and the journal bytes it writes). Prints "KEY VALUE" lines for bench/journal.sh.
//   bench_journal [LINES]
#include "core/text/memo_source.h"
#include "gen_source.h"
#include "ui/recovery/journal.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace {

using marlo::TMemoSource;
using marlo::recovery::TJournalWriter;
namespace fs = std::filesystem;

// The time the calling thread ran, in milliseconds: the UI thread's own cost, whatever
// the journal's worker or the rest of the machine does meanwhile.
double ThreadMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// The best of `runs` timings of `f` on this thread, in milliseconds.
double Best(int runs, const std::function<void()>& f) {
  double best = 1e300;
  for (int i = 0; i < runs; ++i) {
    const double t0 = ThreadMs();
    f();
    best = std::min(best, ThreadMs() - t0);
  }
  return best;
}

} // namespace

int main(int argc, char** argv) {
  const int lines = argc > 1 ? std::atoi(argv[1]) : 1'000'000;
  const fs::path folder =
      fs::temp_directory_path() / ("marlo-bench-journal-" + std::to_string(getpid()));
  TMemoSource doc;
  doc.ConfigureAsDocument();
  doc.SetOverwrite(false);
  doc.LoadFromBytes(marlo::bench::GenerateSource(lines));
  const int middle = lines / 2;

  // A typed character and its Backspace at the middle line, per pair.
  constexpr int kPairs = 20000;
  auto typing = [&] {
    doc.SetCaret(4, middle);
    for (int i = 0; i < kPairs; ++i) {
      doc.TypeChar('x');
      doc.BackSpace();
    }
  };
  // Rounds with and without a journal take turns, so that both see the same machine: the
  // writer's recorder is taken off the model for the rounds without (a character and its
  // Backspace leave the text as the journal has it).
  double plain = 1e300, journaled = 1e300;
  {
    TJournalWriter writer(folder.string(), doc, {});
    writer.Flush(true); // the snapshot on disk, as long before anyone types
    marlo::TLineStoreRecorder* recorder = doc.Strings().Recorder();
    for (int round = 0; round < 15; ++round) {
      doc.SetEditRecorder(nullptr);
      plain = std::min(plain, Best(1, typing) / kPairs * 1e6);
      doc.SetEditRecorder(recorder);
      journaled = std::min(journaled, Best(1, typing) / kPairs * 1e6);
    }
    writer.Remove();
  }
  // The start of a journal: the UI thread's part only, the slowest of a few (the first
  // makes fresh pages).
  double start = 0;
  for (int i = 0; i < 5; ++i) {
    const double t0 = ThreadMs();
    TJournalWriter writer(folder.string(), doc, {});
    start = std::max(start, ThreadMs() - t0);
    writer.Flush();
    writer.Remove();
  }
  double indentPlain, indentJournal;
  long long indentBytes, textBytes = 0;
  {
    TJournalWriter writer(folder.string(), doc, {});
    writer.Flush();
    const uint64_t before = writer.BytesWritten();
    auto indent = [&] {
      doc.SelectAll();
      doc.IndentBlock();
    };
    indentJournal = Best(1, indent);
    writer.Flush();
    indentBytes = static_cast<long long>(writer.BytesWritten() - before);
    for (int i = 0; i < doc.LineCount(); ++i)
      textBytes += 4 + static_cast<long long>(doc.StoredLine(i).size());
    doc.Undo();
    writer.Remove();
    indentPlain = Best(1, indent);
    doc.Undo();
  }
  fs::remove_all(folder);
  std::printf("lines %d\n", lines);
  std::printf("type_ns_plain %.0f\n", plain);
  std::printf("type_ns_journal %.0f\n", journaled);
  std::printf("start_ms %.2f\n", start);
  std::printf("indent_ms_plain %.1f\n", indentPlain);
  std::printf("indent_ms_journal %.1f\n", indentJournal);
  std::printf("indent_journal_bytes %lld\n", indentBytes);
  std::printf("indented_text_bytes %lld\n", textBytes);
  return 0;
}
