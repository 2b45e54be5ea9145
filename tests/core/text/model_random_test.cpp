// Long random sequences of commands on random texts, checked after every step: the caret
// stays in bounds (and, in sessions keeping soLimitEOL on without raw SplitLine or Lines
// writes, within its line); a selection is ordered, of a kind BlockOption allows, one item a
// line; bookmarks are ordered and numbered 1 to 255 once each; a command is at most one
// notification whose flags and line range cover what changed; Modified follows the save
// point; a save loads back to the same lines. Every 250 steps and at the end, undoing
// everything gives back the text the history starts from and redoing everything the text
// as it was, twice.
#include "core/error.h"
#include "core/search/search_options.h"
#include "core/text/code_template.h"
#include "core/text/memo_source.h"
#include "model_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <random>
#include <set>
#include <tuple>
#include <utility>

namespace marlo::test {
namespace {

using M = TCustomMemoSource;
constexpr int kSeeds = 20;
constexpr int kSteps = 2000;
constexpr int kCheckpoint = 250; // steps between two rounds of undo and redo of everything

class Rng {
public:
  explicit Rng(uint32_t seed) : engine_(seed) {}
  int Below(int n) { return n <= 0 ? 0 : static_cast<int>(engine_() % static_cast<uint32_t>(n)); }
  int Range(int lo, int hi) { return lo + Below(hi - lo + 1); }
  bool Chance(int percent) { return Below(100) < percent; }
  template <typename T> const T& Pick(const std::vector<T>& v) {
    return v[static_cast<size_t>(Below(static_cast<int>(v.size())))];
  }

private:
  std::mt19937 engine_;
};

const std::vector<std::string> kWords = {
    "foo",    "bar",       "x",    "PRINT", "if",  "then",  "for",  "i",   "=",
    "0",      "to",        "next", "(a)",   "[1]", "{b}",   "a:b",  "rem", "\"s\"",
    "x(1,2)", "\xe9t\xe9", "\xff", "12.5",  "end", "((",    "))",   "]",   "WHILE",
    "Sync",   "a.b",       "->",   "#",     "'q'", "MiXeD", "loop", "do",  "\xc0\xe0"};

std::string RandomLine(Rng& r, bool tabs) {
  std::string line;
  int indent = r.Below(4) == 0 ? 0 : r.Range(0, 6);
  if (tabs && r.Chance(30)) line += std::string(static_cast<size_t>(r.Range(1, 2)), '\t');
  line += std::string(static_cast<size_t>(indent), ' ');
  int words = r.Range(0, 6);
  for (int i = 0; i < words; ++i) {
    if (i > 0) {
      int sep = r.Below(10);
      line += sep < 6 ? " " : sep < 8 ? ":" : sep < 9 ? "  " : (tabs ? "\t" : " ");
    }
    line += r.Pick(kWords);
  }
  return RTrim(line);
}

Lines RandomText(Rng& r, bool tabs) {
  Lines text;
  int n = r.Below(6) == 0 ? r.Range(0, 2) : r.Range(1, 25);
  for (int i = 0; i < n; ++i) text.push_back(r.Chance(15) ? std::string() : RandomLine(r, tabs));
  return text;
}

std::string Join(const Lines& lines) {
  std::string s;
  for (size_t i = 0; i < lines.size(); ++i) s += (i ? "\r\n" : "") + lines[i];
  return s;
}

Lines DropEmptyTail(Lines lines) {
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

bool SameRecord(const TUndoRecord& a, const TUndoRecord& b) {
  return a.Action == b.Action && a.Value1 == b.Value1 && a.Value2 == b.Value2 && a.Text == b.Text &&
         a.FirstOfChange == b.FirstOfChange && a.ChangeKind == b.ChangeKind &&
         a.InGroup == b.InGroup;
}

int LastTextRecord(const TUndoList& list) {
  for (int i = list.Count() - 1; i >= 0; --i)
    if (list[i].ChangesText()) return i;
  return -1;
}

bool TextRecordAbove(const TUndoList& list, int index) {
  for (int i = std::max(index + 1, 0); i < list.Count(); ++i)
    if (list[i].ChangesText()) return true;
  return false;
}

struct State {
  Lines lines;
  TPoint caret, begin, end;
  TSelectionType kind;
  bool modified;
  int undoCount, redoCount, undoTextRecords = 0;

  static State Of(const M& m) {
    State s{StoredLines(m),    m.Caret(),    m.BlockBegin(),       m.BlockEnd(),
            m.SelectionKind(), m.Modified(), m.UndoList().Count(), m.RedoList().Count()};
    for (int i = 0; i < m.UndoList().Count(); ++i)
      s.undoTextRecords += m.UndoList()[i].ChangesText();
    return s;
  }
};

enum class StepKind { Plain, Undo, Redo, Save, ForceModified, ClearsHistory };

// The plain caret moves; SelectMove and the "moves" commands pick from them.
void (M::*const kMoves[])() = {
    &M::MoveCaretUp,          &M::MoveCaretDown,      &M::MoveCaretLeft, &M::MoveCaretRight,
    &M::MoveCaretToLineStart, &M::MoveCaretToLineEnd, &M::WordLeft,      &M::WordRight,
    &M::MoveCaretToBottom};

class Session {
public:
  explicit Session(uint32_t seed) : seed_(seed), r_(seed * 7919u + 13u) {
    strictEol_ = seed % 2 == 0;
    tabs_ = seed % 4 >= 2;
    if (seed % 3 == 0) {
      m_.ConfigureAsDocument();
    } else {
      m_.CodeTemplates() = DefaultCodeTemplates();
      m_.SetTemplatesType("Custom");
    }
    m_.SetOverwrite(false);
    ResetClipboard(); // each seed starts with an empty clipboard that holds no column
    if (strictEol_) m_.SetOption(soLimitEOL, true);
    if (tabs_) {
      m_.SetOption(soUseTabCharacter, true);
      m_.SetTabStops(r_.Pick(std::vector<std::string>{"3", "4", "2,5", "9,17", "1"}));
    }
    m_.AddView(&view_, false);
    // Every caret move that leaves a line passes here first: a line left with blanks at
    // its end loses them without an undo record.
    m_.OnCaretMoveHook = [this](M& m, int& dLine, int&) {
      int y = m.CaretY();
      if (dLine != 0 && y < m.LineCount() && RTrim(m.StoredLine(y)) != m.StoredLine(y))
        maybeTrimmed_ = true;
    };
    m_.LoadFromBytes(Join(RandomText(r_, tabs_)));
    HistoryCleared();
    BuildCommands();
  }
  ~Session() {
    m_.SetOverwrite(false);
    m_.RemoveView(&view_);
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  void Run(int steps) {
    const int failures = Failures();
    // A failure names the step; the seed and the step count replay the run up to it.
    auto failed = [&] {
      if (Failures() == failures) return false;
      ADD_FAILURE() << "at step " << step_ << ": replay with MARLO_RANDOM_SEED=" << seed_
                    << " MARLO_RANDOM_STEPS=" << step_ + 1;
      return true;
    };
    for (step_ = 0; step_ < steps; ++step_) {
      const Command& c = PickCommand();
      State before = State::Of(m_);
      view_.Reset();
      CheckStep(before, c.run());
      if (failed()) return;
      if ((step_ + 1) % kCheckpoint == 0 && step_ + 1 < steps) {
        Checkpoint();
        if (failed()) return;
        Continue();
      }
    }
    Checkpoint();
    failed();
  }

  static int Failures() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
  }

private:
  struct Command {
    int weight;
    std::function<StepKind()> run;
  };

  void HistoryCleared() {
    start_ = StoredLines(m_);
    maybeTrimmed_ = false;
  }

  // ---- Commands ----------------------------------------------------------------------

  void Add(int weight, std::function<void()> f) {
    commands_.push_back({weight, [f] { return f(), StepKind::Plain; }});
  }
  void AddKind(int weight, std::function<StepKind()> f) {
    commands_.push_back({weight, std::move(f)});
  }
  // Commands without arguments, each followed by its weight.
  template <typename... More> void AddSimple(void (M::*command)(), int weight, More... more) {
    Add(weight, [this, command] { (m_.*command)(); });
    if constexpr (sizeof...(more) > 0) AddSimple(more...);
  }

  bool Clamped() const { return m_.Has(soLimitEOL) && !m_.Has(soBeyondFileEnd); }

  int RandomX() { return r_.Range(-2, m_.LineLength(m_.CaretY()) + 4); }
  int RandomY() { return r_.Range(-1, m_.LineCount() + 1); }

  std::function<void()> RandomMove() {
    size_t i = static_cast<size_t>(r_.Below(10));
    if (i < std::size(kMoves)) return [this, i] { (m_.*kMoves[i])(); };
    int x = RandomX(), y = RandomY();
    return [this, x, y] { m_.SetCaret(x, y); };
  }

  std::vector<std::string> RandomInsertion() {
    std::vector<std::string> lines;
    int n = r_.Below(4) == 0 ? r_.Range(2, 4) : 1;
    for (int i = 0; i < n; ++i) lines.push_back(r_.Chance(10) ? "" : RandomLine(r_, tabs_));
    if (lines.size() == 1 && lines[0].empty()) lines[0] = "z";
    return lines;
  }

  void BuildCommands() {
    const std::string typed = "      abcxyzXYZ(){}[]:=\"'0123.,;\xe9\xff";
    Add(24, [this, typed] {
      m_.TypeChar(typed[static_cast<size_t>(r_.Below(static_cast<int>(typed.size())))]);
    });
    AddSimple(&M::InsertNewLine, 7, &M::BackSpace, 7, &M::DeleteChar, 5, &M::TabKey, 3, &M::BackTab,
              2, &M::DeleteLine, 2, &M::DeleteToLineStart, 1, &M::DeleteToLineEnd, 1,
              &M::DeleteWordRight, 2, &M::DeleteWordLeft, 2, &M::DeleteToWordEnd, 2,
              &M::IndentBlock, 1, &M::UnindentBlock, 1, &M::UpperCaseBlock, 1, &M::LowerCaseBlock,
              1, &M::ToggleCaseBlock, 1, &M::UpperCaseWord, 1, &M::LowerCaseWord, 1, &M::QuoteBlock,
              1, &M::DeleteSelection, 2, &M::CopyToClipboard, 2, &M::CutToClipboard, 2,
              &M::PasteFromClipboard, 3);
    Add(1, [this] { // clipboard text from elsewhere
      std::string text = Join(RandomInsertion());
      if (r_.Chance(20)) text += "\r\n";
      TClipboard::Current().SetText(text);
    });
    Add(1, [this] { m_.ReplaceAllText(Join(RandomText(r_, tabs_))); }); // a reload
    Add(2, [this] { m_.InsertLines(RandomInsertion(), false); });
    Add(2, [this] { m_.InsertLines(RandomInsertion(), true); });
    Add(2, [this] {
      m_.InsertCodeTemplate(r_.Range(-1, static_cast<int>(m_.CodeTemplates().size())));
    });
    AddSimple(&M::MoveSelectionToCaret, 1, &M::CopySelectionToCaret, 1, &M::GotoMatchingBracket, 1,
              &M::InsertGuid, 1, &M::MoveCaretUp, 4, &M::MoveCaretDown, 4, &M::MoveCaretLeft, 4,
              &M::MoveCaretRight, 4, &M::MoveCaretToLineStart, 1, &M::MoveCaretToLineEnd, 2,
              &M::MoveCaretToTop, 1, &M::MoveCaretToBottom, 1, &M::WordLeft, 2, &M::WordRight, 2);
    Add(4, [this] {
      int x = RandomX(), y = RandomY();
      m_.SetCaret(x, y);
    });
    // Far places only where the limits pull the caret back: text typed far below the
    // end or far right of a line would grow the text beyond what a test can replay.
    Add(1, [this] {
      if (!Clamped()) return;
      static const std::vector<long long> far = {LLONG_MIN, INT_MIN, -1, INT_MAX, LLONG_MAX};
      long long x = r_.Pick(far), y = r_.Pick(far);
      m_.SetCaret(x, y);
    });
    Add(1, [this] {
      if (!Clamped()) return;
      static const std::vector<int> d = {INT_MIN, -5, -1, 0, 1, 3, INT_MAX};
      m_.MoveCaret(r_.Pick(d), r_.Pick(d));
    });
    Add(5, [this] { m_.SelectMove(TSelectionType::Stream, RandomMove()); });
    Add(4, [this] { m_.SelectMove(TSelectionType::Column, RandomMove()); });
    AddSimple(&M::SelectAll, 1, &M::SelectWordAtCaret, 1, &M::SelectCaretLine, 1,
              &M::ClearSelection, 1);
    Add(2, [this] {
      TSelectionType kind = r_.Chance(50) ? TSelectionType::Stream : TSelectionType::Column;
      int y1 = r_.Range(0, std::max(0, m_.LineCount() - 1)),
          y2 = r_.Range(0, std::max(0, m_.LineCount() - 1));
      int x1 = r_.Range(0, m_.LineLength(y1) + 2), x2 = r_.Range(0, m_.LineLength(y2) + 2);
      m_.SelectBlock(kind, x1, y1, x2, y2);
    });
    AddSimple(&M::SetBlockBegin, 1, &M::SetBlockEnd, 1);

    Add(2, [this] { m_.SetBookmark(r_.Range(0, 12)); });
    Add(1, [this] { m_.SetBookmark(r_.Pick(std::vector<int>{-1, 255, 256, 1000})); });
    Add(1, [this] { m_.ClearBookmark(r_.Range(0, 12)); });
    Add(1, [this] { m_.ToggleBookmark(r_.Range(0, 12)); });
    Add(2, [this] { m_.GotoBookmark(r_.Range(0, 12)); });

    AddKind(9, [this] { return m_.Undo(), StepKind::Undo; });
    AddKind(4, [this] { return m_.Redo(), StepKind::Redo; });
    AddKind(2, [this] { return m_.SetModified(false), StepKind::Save; });
    AddKind(1, [this] {
      if (!r_.Chance(20)) return StepKind::Plain;
      return m_.SetModified(true), StepKind::ForceModified;
    });

    std::vector<TStringsOption> toggles = {soBackUnindents,      soGroupUndo,    soBeyondFileEnd,
                                           soForceCutCopy,       soAutoIndent,   soPersistentBlocks,
                                           soOverwriteBlocks,    soCursorOnTabs, soOptimalFill,
                                           soCursorAlwaysOnTabs, soUsePrevIndent};
    if (!strictEol_) toggles.push_back(soLimitEOL);
    if (!tabs_) toggles.push_back(soSmartTab);
    Add(3, [this, toggles] {
      TStringsOption o = r_.Pick(toggles);
      m_.SetOption(o, !m_.Has(o));
    });
    Add(1, [this] { m_.ToggleOverwrite(); });
    Add(1, [this] {
      m_.SetBlockOption(
          r_.Pick(std::vector<TBlockOption>{bkStreamSel, bkBlockSel, bkNone, bkBoth, bkBoth}));
    });
    Add(1, [this] { m_.SetBlockIndent(r_.Range(-1, 4)); });
    Add(1, [this] { m_.SetSpacesInTab(r_.Range(0, 11)); });
    if (!tabs_)
      Add(1, [this] { m_.SetTabStops(r_.Pick(std::vector<std::string>{"3", "9,17", "2,4"})); });
    Add(1, [this] {
      if (m_.ReadOnly() || r_.Chance(15)) m_.SetReadOnly(!m_.ReadOnly());
    });

    // Searching and replacing with the shared options: a short text or pattern over a
    // small alphabet, any direction, scope and origin. A search error (no selection, the
    // caret outside it) is raised and changes nothing.
    Add(4, [this] {
      static const std::vector<std::string> texts = {"a", "ab",    "x", "b*", "^",
                                                     "$", "{ab}+", ".", "a ", ""};
      TSearchOptions& o = SharedSearchOptions();
      o.TextToFind = r_.Pick(texts);
      o.ReplaceWith = r_.Pick(std::vector<std::string>{"", "z", "aa", tabs_ ? "\t" : "a a"});
      o.RegularExpr = r_.Chance(50);
      o.CaseSensitive = r_.Chance(50);
      o.WholeWordsOnly = r_.Chance(25);
      o.Direction = r_.Chance(50) ? TSearchDirection::sdForward : TSearchDirection::sdBackward;
      o.Scope = r_.Chance(25) ? TSearchScope::ssSelectedText : TSearchScope::ssGlobal;
      o.Origin = r_.Chance(50) ? TSearchOrigin::soFromCursor : TSearchOrigin::soEntireScope;
      o.PromptOnReplace = r_.Chance(25);
      o.ReplaceAll = r_.Chance(50);
      m_.OnReplacePrompt = [this](TCustomMemoSource&, const std::string&) {
        ++questions_; // the search before a question is a change of its own
        return r_.Pick(std::vector<TReplaceAnswer>{TReplaceAnswer::Yes, TReplaceAnswer::No,
                                                   TReplaceAnswer::All, TReplaceAnswer::Cancel});
      };
      try {
        switch (r_.Below(3)) {
        case 0:
          m_.FindText();
          break;
        case 1:
          m_.ReplaceText();
          break;
        default:
          m_.FindAgain();
        }
      } catch (const Error&) {
      }
    });

    // The primitives, and writes through the line list, which clear the history.
    Add(2, [this] { m_.InsertText(RandomLine(r_, tabs_)); });
    Add(2, [this] { m_.DeleteChars(r_.Range(-1, 5)); });
    AddSimple(&M::JoinLines, 1);
    if (!strictEol_) {
      AddSimple(&M::SplitLine, 1);
      AddKind(1, [this] {
        if (!r_.Chance(25)) return StepKind::Plain;
        int n = m_.LineCount(), what = r_.Below(4);
        if (what == 0) m_.Lines().Put(r_.Range(-1, n), RandomLine(r_, tabs_));
        if (what == 1) m_.Lines().Insert(r_.Range(-1, n + 1), RandomLine(r_, tabs_));
        if (what == 2) m_.Lines().Delete(r_.Range(-1, n));
        if (what == 3) m_.Lines().Add(RandomLine(r_, tabs_));
        return StepKind::ClearsHistory;
      });
      AddKind(1, [this] { // AllowUndo off and on
        if (!r_.Chance(10)) return StepKind::Plain;
        m_.SetAllowUndo(false);
        m_.SetAllowUndo(true);
        return StepKind::ClearsHistory;
      });
    }
    for (const auto& c : commands_) totalWeight_ += c.weight;
  }

  const Command& PickCommand() {
    int w = r_.Below(totalWeight_);
    for (const auto& c : commands_) {
      if (w < c.weight) return c;
      w -= c.weight;
    }
    return commands_.back();
  }

  // ---- Checks ------------------------------------------------------------------------

  void CheckStep(const State& before, StepKind kind) {
    State after = State::Of(m_);
    bool textChanged = after.lines != before.lines;
    // A write to a line outside the text is ignored and keeps the history.
    if (kind == StepKind::ClearsHistory && (after.undoCount > 0 || after.redoCount > 0))
      kind = StepKind::Plain;
    // Undo and redo with nothing to replay, or on a read-only text, do nothing at all.
    if ((kind == StepKind::Undo || kind == StepKind::Redo) && after.undoCount == before.undoCount &&
        after.redoCount == before.redoCount && !textChanged)
      kind = StepKind::Plain;
    if (kind == StepKind::ClearsHistory) {
      // Lines written since the save cannot be undone: the save is out of reach.
      if (textChanged || expModified_) forced_ = true;
      if (textChanged) expModified_ = true;
      savedDepth_ = -1;
      HistoryCleared();
    }
    CheckCaretAndSelection();
    CheckBookmarks();
    CheckNotification(before, after, textChanged);
    CheckModified(before, after, textChanged, kind);
    if (step_ % 50 == 0) CheckSaveLoad();
  }

  void CheckCaretAndSelection() {
    TPoint c = m_.Caret();
    EXPECT_TRUE(c.X >= 0 && c.Y >= 0) << "negative caret";
    EXPECT_TRUE(m_.Has(soBeyondFileEnd) || c.Y < std::max(1, m_.LineCount())) << "caret below";
    EXPECT_TRUE(!strictEol_ || c.X <= m_.LineLength(c.Y)) << "caret past the end of its line";

    TSelectionType kind = m_.SelectionKind();
    TBlockOption option = m_.BlockOption();
    EXPECT_FALSE(option == bkStreamSel && kind == TSelectionType::Column);
    EXPECT_FALSE(option == bkBlockSel && kind == TSelectionType::Stream);
    EXPECT_FALSE(option == bkNone && kind != TSelectionType::None);
    if (kind == TSelectionType::None) {
      EXPECT_EQ(m_.Selection().Count(), 0);
      return;
    }
    TPoint b = m_.BlockBegin(), e = m_.BlockEnd();
    EXPECT_TRUE(b.X >= 0 && b.Y >= 0) << "negative block begin";
    EXPECT_TRUE(b.Y < e.Y || (b.Y == e.Y && b.X <= e.X)) << "block out of order";
    EXPECT_TRUE(kind != TSelectionType::Column || b.X <= e.X) << "column block out of order";
    EXPECT_EQ(m_.Selection().Count(), e.Y - b.Y + 1);
    (void)m_.Selection().Text(); // must not fail whatever the block
  }

  void CheckBookmarks() {
    const auto& items = m_.Bookmarks().Items();
    auto key = [](const TBookmark& b) { return std::tuple(b.Y, b.X, b.Number); };
    std::set<int> numbers;
    for (size_t i = 0; i < items.size(); ++i) {
      const TBookmark& b = items[i];
      EXPECT_TRUE(b.Number >= 1 && b.Number <= 255 && b.X >= 0 && b.Y >= 0) << "bad bookmark";
      EXPECT_TRUE(numbers.insert(b.Number).second) << "a bookmark number twice";
      EXPECT_TRUE(i == 0 || key(items[i - 1]) < key(b)) << "bookmarks out of order";
    }
  }

  void CheckNotification(const State& before, const State& after, bool textChanged) {
    if (std::exchange(questions_, 0) > 0) return;
    ASSERT_LE(view_.Count(), 1) << "more than one notification for one command";
    bool caretMoved = before.caret != after.caret;
    bool countChanged = before.lines.size() != after.lines.size();
    bool modifiedChanged = before.modified != after.modified;
    bool selectionChanged =
        before.kind != after.kind || (after.kind != TSelectionType::None &&
                                      (before.begin != after.begin || before.end != after.end));
    if (!textChanged && !caretMoved && !countChanged && !modifiedChanged && !selectionChanged)
      return;
    ASSERT_EQ(view_.Count(), 1) << "a change without a notification";
    const TChangeInfo& info = view_.Last();
    EXPECT_TRUE(!textChanged || info.Flags.Has(chText)) << "no chText";
    EXPECT_TRUE(!caretMoved || info.Flags.Has(chCaret)) << "no chCaret";
    EXPECT_TRUE(!countChanged || info.Flags.Has(chLineCount)) << "no chLineCount";
    EXPECT_TRUE(!modifiedChanged || info.Flags.Has(chModified)) << "no chModified";
    EXPECT_TRUE(!selectionChanged || info.Flags.Has(chSelection)) << "no chSelection";
    if (!textChanged) return;
    size_t n = std::min(before.lines.size(), after.lines.size()), first = 0;
    while (first < n && before.lines[first] == after.lines[first]) ++first;
    EXPECT_TRUE(first >= after.lines.size() || info.FirstLine <= static_cast<int>(first))
        << "changed line " << first << " before the range";
    if (countChanged) return;
    for (size_t i = first; i < n; ++i)
      EXPECT_TRUE(before.lines[i] == after.lines[i] || info.LastLine >= static_cast<int>(i))
          << "changed line " << i << " after the range";
  }

  void CheckModified(const State& before, const State& after, bool textChanged, StepKind kind) {
    const TUndoList& undo = m_.UndoList();
    switch (kind) {
    case StepKind::Save:
      if (before.modified) {
        savedDepth_ = LastTextRecord(undo);
        if (savedDepth_ >= 0) savedRecord_ = undo[savedDepth_];
      }
      forced_ = expModified_ = false;
      break;
    case StepKind::ForceModified:
      forced_ = expModified_ = true;
      break;
    case StepKind::Undo:
    case StepKind::Redo: {
      // Undoing the record of the save point puts the saved text out of reach.
      if (kind == StepKind::Undo && savedDepth_ >= 0 &&
          (undo.Count() <= savedDepth_ || !SameRecord(undo[savedDepth_], savedRecord_))) {
        savedDepth_ = -1;
        forced_ = true;
      }
      bool recomputed = forced_ || TextRecordAbove(undo, savedDepth_);
      if (textChanged || before.modified)
        expModified_ = recomputed;
      else if (m_.Modified() != expModified_ && m_.Modified() == recomputed)
        expModified_ = recomputed; // records that changed nothing in the end
      break;
    }
    case StepKind::Plain:
    case StepKind::ClearsHistory:
      // Also a change that put text records on the list and took them back within itself.
      if (textChanged ||
          (!expModified_ && m_.Modified() && after.undoTextRecords > before.undoTextRecords))
        expModified_ = true;
      break;
    }
    EXPECT_EQ(m_.Modified(), expModified_) << "Modified disagrees with the save point";
  }

  void CheckSaveLoad() {
    TMemoSource copy;
    copy.SetOption(soUseTabCharacter, m_.Has(soUseTabCharacter));
    copy.SetSpacesInTab(m_.SpacesInTab());
    copy.LoadFromBytes(m_.SaveToBytes());
    EXPECT_EQ(DropEmptyTail(StoredLines(copy)), DropEmptyTail(RTrimmed(StoredLines(m_))))
        << "saved and loaded again";
  }

  // ---- Checkpoints -------------------------------------------------------------------

  // Undo comes back to the text the history starts from, exactly. What it cannot bring
  // back: a text of one empty line, which the primitives remove when they leave it (an
  // empty text has no lines); blanks at line ends that were in the text when a write
  // cleared the history and that the caret trimmed later without a record; and a tab
  // that such trimming took from a line end, which comes back as the blanks it showed
  // when undo puts text after it again.
  Lines Comparable(Lines lines) const {
    if (tabs_ && maybeTrimmed_)
      for (auto& l : lines) l = m_.ExpandTabs(l);
    if (RTrimmed(start_) != start_) lines = RTrimmed(lines);
    if (lines.size() == 1 && lines[0].empty()) lines.clear();
    return lines;
  }

  // Undo everything, redo everything, twice.
  void Checkpoint() {
    m_.SetReadOnly(false);
    // What was undone last is redone first: the history then ends at the text compared.
    ASSERT_TRUE(RedoEverything(m_)) << "redo does not come to an end";
    Lines final = StoredLines(m_);
    ASSERT_TRUE(UndoEverything(m_)) << "undo does not come to an end";
    EXPECT_EQ(Comparable(StoredLines(m_)), Comparable(start_)) << "undo of everything";
    ASSERT_TRUE(RedoEverything(m_)) << "redo does not come to an end";
    Lines redone = StoredLines(m_);
    EXPECT_TRUE(maybeTrimmed_ || RTrimmed(redone) == RTrimmed(final)) << "redo of everything";
    ASSERT_TRUE(UndoEverything(m_));
    EXPECT_EQ(Comparable(StoredLines(m_)), Comparable(start_)) << "undo of everything again";
    ASSERT_TRUE(RedoEverything(m_));
    EXPECT_EQ(StoredLines(m_), redone) << "redo of everything again";
  }

  // Goes on after a checkpoint from the text redone there, taken as saved; now and then
  // with a fresh history, so that stretches without trimmed blanks are checked as well.
  void Continue() {
    if (r_.Chance(50)) {
      m_.SetAllowUndo(false);
      m_.SetAllowUndo(true);
      HistoryCleared();
    }
    m_.SetModified(false);
    forced_ = expModified_ = false;
    savedDepth_ = LastTextRecord(m_.UndoList());
    if (savedDepth_ >= 0) savedRecord_ = m_.UndoList()[savedDepth_];
  }

  uint32_t seed_;
  Rng r_;
  TMemoSource m_;
  RecordingView view_;
  int questions_ = 0; // replace questions asked in this step
  bool strictEol_ = false, tabs_ = false;
  std::vector<Command> commands_;
  int totalWeight_ = 0, step_ = 0;

  Lines start_;
  bool maybeTrimmed_ = false, expModified_ = false, forced_ = false;
  int savedDepth_ = -1;
  TUndoRecord savedRecord_;
};

// MARLO_RANDOM_SEED=n runs only seed n, MARLO_RANDOM_STEPS=n changes the length: for
// repeating a failure and for longer runs by hand.
int EnvNumber(const char* name, int fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::atoi(v) : fallback;
}

TEST(ModelRandom, CommandSequencesKeepTheInvariants) {
  int only = EnvNumber("MARLO_RANDOM_SEED", 0);
  for (uint32_t seed = 1; seed <= kSeeds; ++seed) {
    uint32_t s = only > 0 ? static_cast<uint32_t>(only) : seed;
    SCOPED_TRACE("seed " + std::to_string(s));
    Session(s).Run(EnvNumber("MARLO_RANDOM_STEPS", kSteps));
    if (only > 0) break;
  }
}

} // namespace
} // namespace marlo::test
