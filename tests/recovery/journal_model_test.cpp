// Random edit sequences on random texts with a journal kept: after every step the journal
// read back gives the model's text exactly; a journal cut at any byte of its last records,
// or with a byte of them damaged, gives the text of one of the steps before.
#include "../core/temp_dir.h"
#include "../core/text/model_test_util.h"
#include "core/error.h"
#include "core/text/memo_source.h"
#include "ui/recovery/journal.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace marlo::test {
namespace {

using recovery::TJournalWriter;

class Rng {
public:
  explicit Rng(uint32_t seed) : engine_(seed) {}
  int Below(int n) { return n <= 0 ? 0 : static_cast<int>(engine_() % static_cast<uint32_t>(n)); }
  bool Chance(int percent) { return Below(100) < percent; }

private:
  std::mt19937 engine_;
};

std::string RandomLine(Rng& r) {
  static const char* const words[] = {"PRINT", "x",   "=", "1", "if", "\t",   "  ",
                                      "\xe9",  "rem", "(", ")", "a",  "endif"};
  std::string line;
  for (int n = r.Below(6); n > 0; --n) line += std::string(words[r.Below(13)]) + " ";
  return line;
}

std::string RandomBytes(Rng& r) {
  std::string text;
  for (int n = r.Below(30); n > 0; --n) text += RandomLine(r) + (r.Chance(80) ? "\r\n" : "\n");
  return text;
}

// Remembers the text after every change of the model.
class StepView : public TMemoView {
public:
  void SourceChanged(TCustomMemoSource& m, const TChangeInfo&) override {
    texts.insert(StoredLines(m));
  }
  std::set<Lines> texts;
};

struct Session {
  explicit Session(uint32_t seed) : r(seed) {
    m.ConfigureAsDocument();
    m.SetOverwrite(false);
    m.LoadFromBytes(RandomBytes(r));
    m.AddView(&steps, false);
    steps.texts.insert(StoredLines(m));
  }
  ~Session() { m.RemoveView(&steps); }

  void Step() {
    auto select = [&] {
      int y1 = r.Below(m.LineCount() + 1), y2 = r.Below(m.LineCount() + 1);
      m.SelectBlock(r.Chance(70) ? TSelectionType::Stream : TSelectionType::Column, r.Below(12), y1,
                    r.Below(12), y2);
    };
    switch (r.Below(16)) {
    case 0:
    case 1:
    case 2:
      m.TypeChar("abc x(1)"[r.Below(8)]);
      break;
    case 3:
      m.InsertNewLine();
      break;
    case 4:
      m.BackSpace();
      break;
    case 5:
      m.DeleteChar();
      break;
    case 6:
      select();
      m.DeleteSelection();
      break;
    case 7:
      select();
      r.Chance(50) ? m.IndentBlock() : m.UnindentBlock();
      break;
    case 8:
      m.InsertLines({RandomLine(r), RandomLine(r)}, r.Chance(30));
      break;
    case 9:
      select();
      m.CutToClipboard();
      m.PasteFromClipboard();
      m.PasteFromClipboard();
      break;
    case 10:
    case 11:
      m.Undo();
      break;
    case 12:
      m.Redo();
      break;
    case 13:
      m.DeleteLine();
      break;
    case 14:
      m.SetCaret(r.Below(20), r.Below(m.LineCount() + 2));
      break;
    default:
      // Writes through the line list and whole loads, rarely.
      if (r.Chance(20))
        m.LoadFromBytes(RandomBytes(r));
      else if (r.Chance(50) && m.LineCount() > 0)
        m.Lines().Put(r.Below(m.LineCount()), RandomLine(r));
      else
        m.Lines().Insert(r.Below(m.LineCount() + 1), RandomLine(r));
    }
  }

  Rng r;
  TMemoSource m;
  StepView steps;
};

class JournalModel : public ::testing::TestWithParam<uint32_t> {};

TEST_P(JournalModel, RebuildsEveryStepAndAPrefixWhenCut) {
  const uint32_t seed = GetParam();
  const size_t slack = TJournalWriter::CompactionSlack;
  // Half of the seeds compact all the time.
  TJournalWriter::CompactionSlack = seed % 2 ? 64 : slack;
  TempDir dir;
  Session s(seed);
  ResetClipboard();
  std::string path;
  {
    TJournalWriter writer(dir.Path(), s.m, {});
    path = writer.Path();
    for (int step = 0; step < 400; ++step) {
      s.Step();
      writer.Flush();
      recovery::TRecoveredText back = recovery::ReadJournal(path);
      ASSERT_EQ(back.Lines, StoredLines(s.m)) << "seed " << seed << ", step " << step;
      ASSERT_FALSE(back.TornTail);
    }
  }
  TJournalWriter::CompactionSlack = slack;

  // The last records cut at every byte, or with one byte damaged. A cut inside the
  // snapshot cannot be read; every later one gives a step.
  const std::string bytes = ReadFile(path);
  bool parsed = false;
  for (size_t at = bytes.size() - std::min<size_t>(bytes.size(), 400); at < bytes.size(); ++at) {
    recovery::TRecoveredText cut;
    try {
      cut = recovery::ParseJournal(std::string_view(bytes).substr(0, at));
    } catch (const Error&) {
      EXPECT_FALSE(parsed) << "seed " << seed << ": a longer cut lost the text at " << at;
      continue;
    }
    parsed = true;
    EXPECT_TRUE(s.steps.texts.count(cut.Lines)) << "seed " << seed << ", cut at " << at;
    std::string damaged = bytes;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x21);
    recovery::TRecoveredText hurt = recovery::ParseJournal(damaged);
    EXPECT_TRUE(s.steps.texts.count(hurt.Lines)) << "seed " << seed << ", damaged at " << at;
    EXPECT_TRUE(hurt.TornTail);
  }
  EXPECT_TRUE(parsed);
}

INSTANTIATE_TEST_SUITE_P(Seeds, JournalModel, ::testing::Range(1u, 13u));

} // namespace
} // namespace marlo::test
