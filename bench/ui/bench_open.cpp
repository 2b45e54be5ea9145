// Opening a generated 1,000,000-line source in a document window and painting its first
// screen, against loading the same file into a bare text model, on the offscreen platform.
// Prints both (best of 5) and PASS or FAIL; exits 1 when the target fails.
//
// Target: the window costs at most 1.5 times the bare load.
#include "../gen_source.h"
#include "core/text/memo_source.h"
#include "ui/app/main_form.h"
#include "ui/app/window_form.h"

#include <QApplication>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

} // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / ("marlo-bench-open-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const std::string file = (dir / "big.zba").string();
  const std::string registry = (dir / "registry.reg").string();
  setenv("MARLO_REGISTRY", registry.c_str(), 1);
  // Journals of the documents it changes stay in its scratch folder.
  setenv("MARLO_RECOVERY_DIR", (dir / "recovery").c_str(), 1);
  if (!getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  marlo::bench::WriteSourceFile(file, 1'000'000);

  QApplication app(argc, argv);
  const int runs = 5;
  double bare = 1e9, window = 1e9;
  int lines = 0;
  for (int run = 0; run < runs; ++run) {
    marlo::TMemoSource source;
    source.ConfigureAsDocument();
    auto t0 = Clock::now();
    source.LoadFromFile(file);
    bare = std::min(bare, Ms(Clock::now() - t0));
    lines = source.LineCount();
  }
  {
    marlo::TMainForm form;
    form.resize(1024, 768);
    form.show();
    QApplication::processEvents();
    for (int run = 0; run < runs; ++run) {
      auto t0 = Clock::now();
      marlo::TWindowForm* doc = form.OpenDocumentWindow(file);
      if (!doc) {
        std::fprintf(stderr, "bench_open: no window opened\n");
        return 1;
      }
      doc->showMaximized();
      doc->repaint(); // the first screen, painted now
      QApplication::processEvents();
      window = std::min(window, Ms(Clock::now() - t0));
      doc->close();
      QApplication::processEvents();
    }
  }
  fs::remove_all(dir);

  const double ratio = window / bare;
  const bool pass = ratio <= 1.5;
  std::printf("file: %d lines\n", lines);
  std::printf("%-44s %-30s %-8s %s\n", "TARGET", "MEASURED", "LIMIT", "RESULT");
  char measured[64];
  std::snprintf(measured, sizeof measured, "%.2fx (%.1f / %.1f ms)", ratio, window, bare);
  std::printf("%-44s %-30s %-8s %s\n", "open in a window + first screen / bare load", measured,
              "<= 1.5", pass ? "PASS" : "FAIL");
  return pass ? 0 : 1;
}
