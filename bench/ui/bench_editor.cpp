// The editor control on the offscreen platform: what a typed character, a full screen and a
// page of scrolling cost, on a generated 1,000,000-line source. Prints a table with PASS or
// FAIL per target and exits 1 when one fails.
//
//   bench_editor                      run the measurements
//   bench_editor --shot FILE OUT.png  show FILE in a focused control and save a picture
//
// Targets:
//   typed     a typed character repaints one line
//   screen    painting a full screen of 60 coloured lines takes under 5 ms (median)
//   end       Ctrl+End on a freshly opened text shows its last screen in under 150 ms (every
//             line above it is coloured once on the way)
//   page      scrolling one page paints one screen (at most the rows the view shows)
//   scale     typing in the middle of 1,000,000 lines costs at most 3 times what it costs
//             in 1,000 lines (the visible part decides the cost, not the file)
#include "../gen_source.h"
#include "core/platform/program_folder.h"
#include "core/syntax/my_parser.h"
#include "core/text/memo_source.h"
#include "ui/editor/code_memo.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScrollBar>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using marlo::TCodeMemo;
using marlo::TMemoSource;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

std::unique_ptr<marlo::TMyParser> MakeParser() {
  std::vector<std::string> keywords;
  try {
    keywords = marlo::LoadKeywordFile(marlo::platform::ProgramFolder() + "keywords.txt");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_editor: %s; colouring without keywords\n", e.what());
  }
  return std::make_unique<marlo::TMyParser>(keywords);
}

struct TView {
  TMemoSource source;
  std::unique_ptr<marlo::TMyParser> parser = MakeParser();
  TCodeMemo memo;

  TView(const std::string& bytes, int rows) {
    source.ConfigureAsDocument();
    source.LoadFromBytes(bytes);
    memo.ConfigureAsDocument();
    memo.SetMemoSource(&source);
    memo.SetSyntaxParser(parser.get());
    const int frame = 2 * memo.frameWidth();
    memo.resize(900, rows * memo.Geometry().LineHeight + frame +
                         memo.horizontalScrollBar()->sizeHint().height());
    memo.show();
    memo.activateWindow();
    memo.setFocus();
    Settle();
  }
  ~TView() { memo.SetSyntaxParser(nullptr); }

  void Settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
  }
  void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(&memo, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(&memo, &release);
  }
};

std::string Generate(int lines) {
  std::string bytes;
  marlo::bench::SourceGenerator(42).Generate(lines, bytes);
  return bytes;
}

// Types `count` characters in the middle of the text; the time per character with its
// repaint, and the lines the last one painted.
double TypeCost(TView& v, int count, long long& painted) {
  auto t0 = Clock::now();
  v.source.SetCaret(4, v.source.LineCount() / 2);
  v.Settle();
  std::printf("%-8s      the first screen in the middle of %d lines took %.1f ms (the lines "
              "above it are coloured once)\n",
              "jump", v.source.LineCount(), Ms(Clock::now() - t0));
  std::vector<double> times;
  for (int i = 0; i < count; ++i) {
    v.memo.ResetPaintedLines();
    auto t0 = Clock::now();
    v.Key(Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    v.Settle();
    times.push_back(Ms(Clock::now() - t0));
    painted = v.memo.PaintedLines();
  }
  return Median(times);
}

int Run() {
  int failures = 0;
  auto report = [&](const char* name, bool ok, const std::string& what) {
    std::printf("%-8s %-4s %s\n", name, ok ? "PASS" : "FAIL", what.c_str());
    if (!ok) ++failures;
  };
  char buf[256];

  std::printf("bench_editor: generating and loading 1,000,000 lines\n");
  TView big(Generate(1000000), 60);
  const int rows = big.memo.Geometry().VisibleRows();
  std::printf("bench_editor: %d lines loaded, %d rows shown\n", big.source.LineCount(), rows);

  {
    auto t0 = Clock::now();
    big.Key(Qt::Key_End, Qt::ControlModifier);
    big.Settle();
    const double end = Ms(Clock::now() - t0);
    std::snprintf(buf, sizeof buf, "Ctrl+End showed line %d of %d after %.1f ms",
                  big.source.CaretY() + 1, big.source.LineCount(), end);
    report("end", end < 150 && big.source.CaretY() == big.source.LineCount() - 1, buf);
  }

  long long painted = 0;
  const double bigType = TypeCost(big, 40, painted);
  std::snprintf(buf, sizeof buf, "a typed character painted %lld line(s), %.3f ms each (median)",
                painted, bigType);
  report("typed", painted == 1, buf);

  std::vector<double> screens;
  long long screenLines = 0;
  for (int i = 0; i < 41; ++i) {
    big.memo.ResetPaintedLines();
    auto t0 = Clock::now();
    big.memo.viewport()->repaint();
    screens.push_back(Ms(Clock::now() - t0));
    screenLines = big.memo.PaintedLines();
  }
  std::snprintf(buf, sizeof buf, "a full screen of %lld coloured lines: %.3f ms (median of 41)",
                screenLines, Median(screens));
  report("screen", Median(screens) < 5.0 && screenLines >= 60, buf);

  std::vector<double> pages;
  long long pageLines = 0;
  for (int i = 0; i < 21; ++i) {
    big.memo.ResetPaintedLines();
    auto t0 = Clock::now();
    big.Key(Qt::Key_PageDown);
    big.Settle();
    pages.push_back(Ms(Clock::now() - t0));
    pageLines = std::max(pageLines, big.memo.PaintedLines());
  }
  std::snprintf(buf, sizeof buf,
                "one page down painted at most %lld lines of %d shown, %.3f ms (median)", pageLines,
                rows, Median(pages));
  report("page", pageLines > 0 && pageLines <= rows, buf);

  big.memo.ResetPaintedLines();
  big.Key(Qt::Key_Down, Qt::ControlModifier);
  big.Settle();
  std::printf("%-8s      scrolling one line painted %lld line(s)\n", "line",
              big.memo.PaintedLines());

  TView small(Generate(1000), 60);
  long long smallPainted = 0;
  const double smallType = TypeCost(small, 40, smallPainted);
  std::snprintf(buf, sizeof buf, "typing costs %.3f ms in 1,000,000 lines, %.3f ms in 1,000",
                bigType, smallType);
  report("scale", bigType <= 3 * std::max(smallType, 0.05), buf);
  return failures == 0 ? 0 : 1;
}

int Shot(const char* file, const char* out) {
  TMemoSource source;
  source.ConfigureAsDocument();
  source.LoadFromFile(file);
  auto parser = MakeParser();
  TCodeMemo memo;
  memo.ConfigureAsDocument();
  memo.SetMemoSource(&source);
  memo.SetSyntaxParser(parser.get());
  memo.resize(800, 500);
  memo.show();
  memo.activateWindow();
  memo.setFocus();
  source.SetBookmark(1);
  source.SetCaret(0, 3);
  source.SetBookmark(3);
  source.SetCaret(2, 4);
  source.SelectMove(marlo::TSelectionType::Stream, [&] { source.SetCaret(10, 6); });
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
  bool ok = memo.grab().save(QString::fromLocal8Bit(out));
  memo.SetSyntaxParser(nullptr);
  return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setCursorFlashTime(0); // a blinking caret would add paints of its own
  try {
    if (argc == 4 && std::strcmp(argv[1], "--shot") == 0) return Shot(argv[2], argv[3]);
    if (argc == 1) return Run();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_editor: %s\n", e.what());
    return 1;
  }
  std::fprintf(stderr, "usage: bench_editor [--shot FILE OUT.png]\n");
  return 2;
}
