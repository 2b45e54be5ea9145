// The "Default" key mapping of the editor.
#include "core/ascii.h"
#include "core/text/key_list.h"
#include "core/text/key_view.h"
#include "core/text/memo_source.h"

#include <algorithm>
#include <string>

namespace marlo {

namespace {

using TMove = void (*)(TCustomMemoSource&, TKeyView&);

const TShiftState kPlain{};
const TShiftState kShift{ssShift};
const TShiftState kCtrl{ssCtrl};
const TShiftState kAlt{ssAlt};
const TShiftState kShiftCtrl{ssShift, ssCtrl};
const TShiftState kShiftAlt{ssShift, ssAlt};
const TShiftState kAltCtrl{ssAlt, ssCtrl};
const TShiftState kShiftAltCtrl{ssShift, ssAlt, ssCtrl};

int Page(const TKeyView& view) {
  return std::max(1, view.PageLines());
}

// ---- Moves shared by the plain, extending and column forms -------------------------

void Up(TCustomMemoSource& s, TKeyView&) {
  s.MoveCaretUp();
}
void Down(TCustomMemoSource& s, TKeyView&) {
  s.MoveCaretDown();
}
void Left(TCustomMemoSource& s, TKeyView&) {
  s.MoveCaretLeft();
}
void Right(TCustomMemoSource& s, TKeyView&) {
  s.MoveCaretRight();
}
void LineStart(TCustomMemoSource& s, TKeyView&) {
  s.MoveCaretToLineStart();
}
void LineEnd(TCustomMemoSource& s, TKeyView&) {
  s.MoveCaretToLineEnd();
}
void WordLeft(TCustomMemoSource& s, TKeyView&) {
  s.WordLeft();
}
void WordRight(TCustomMemoSource& s, TKeyView&) {
  s.WordRight();
}
void TextStart(TCustomMemoSource& s, TKeyView&) {
  s.MoveCaretToTop();
}
void TextEnd(TCustomMemoSource& s, TKeyView&) {
  s.MoveCaretToBottom();
}

// The view scrolls first, so that the caret keeps its place on the screen.
void PageUp(TCustomMemoSource& s, TKeyView& v) {
  v.ScrollLines(-Page(v));
  s.MoveCaret(-Page(v), 0);
}
void PageDown(TCustomMemoSource& s, TKeyView& v) {
  v.ScrollLines(Page(v));
  s.MoveCaret(Page(v), 0);
}
void FirstVisible(TCustomMemoSource& s, TKeyView& v) {
  s.MoveCaret(v.FirstVisibleLine() - s.CaretY(), 0);
}
void LastVisible(TCustomMemoSource& s, TKeyView& v) {
  s.MoveCaret(v.FirstVisibleLine() + Page(v) - 1 - s.CaretY(), 0);
}

void AddMove(TKeyList& t, TKeyCode key, TShiftState shift, TMove move, bool repeat = false) {
  t.Add(key, shift, move, repeat);
}

void AddSelect(TKeyList& t, TKeyCode key, TShiftState shift, TSelectionType kind, TMove move) {
  t.Add(key, shift, [kind, move](TCustomMemoSource& s, TKeyView& v) {
    s.SelectMove(kind, [&] { move(s, v); });
  });
}

// ---- Commands ---------------------------------------------------------------------

int BookmarkOfDigit(int digit) {
  return digit == 0 ? 10 : digit;
}

std::string Trimmed(const std::string& text) {
  return std::string(Trim(text));
}

bool IsNone(const std::string& templatesType) {
  return EqualsNoCase(templatesType, "NONE");
}

// A one-line selection names the template by a prefix of its name; one match is
// inserted at once, replacing the selection. Otherwise the view offers the matches.
void CodeTemplate(TCustomMemoSource& s, TKeyView& v) {
  if (IsNone(s.TemplatesType())) return;
  std::string prefix;
  if (s.HasSelection() && s.Selection().Count() == 1) prefix = Trimmed(s.Selection().Get(0));
  std::vector<int> found = s.FindCodeTemplates(prefix);
  if (found.empty()) return;
  int index = found.front();
  if (prefix.empty() || found.size() > 1) {
    std::vector<const TMemoCodeTemplate*> candidates;
    candidates.reserve(found.size());
    for (int i : found) candidates.push_back(&s.CodeTemplates()[static_cast<size_t>(i)]);
    int chosen = v.ChooseCodeTemplate(candidates);
    if (chosen < 0 || chosen >= static_cast<int>(found.size())) return;
    index = found[static_cast<size_t>(chosen)];
  }
  s.InsertCodeTemplate(index);
}

void AddSingleKeys(TKeyList& t) {
  using S = TCustomMemoSource;
  using V = TKeyView;
  t.Add(vkDelete, kPlain, [](S& s, V&) { s.DeleteChar(); });
  t.Add(vkBackspace, kPlain, [](S& s, V&) { s.BackSpace(); });
  t.Add(vkBackspace, kShift, [](S& s, V&) { s.BackSpace(); });
  t.Add(vkBackspace, kCtrl, [](S& s, V&) { s.DeleteWordLeft(); });
  t.Add(vkEnter, kPlain, [](S& s, V&) { s.InsertNewLine(); });
  t.Add(vkEnter, kShift, [](S& s, V&) { s.InsertNewLine(); });
  t.Add(vkTab, kPlain, [](S& s, V&) { s.TabKey(); });
  t.Add(vkTab, kShift, [](S& s, V&) { s.BackTab(); });
  t.Add(vkInsert, kPlain, [](S& s, V&) { s.ToggleOverwrite(); });
  t.Add(vkDelete, kShift, [](S& s, V&) { s.CutToClipboard(); });
  t.Add(vkX, kCtrl, [](S& s, V&) { s.CutToClipboard(); });
  t.Add(vkInsert, kCtrl, [](S& s, V&) { s.CopyToClipboard(); });
  t.Add(vkC, kCtrl, [](S& s, V&) { s.CopyToClipboard(); });
  t.Add(vkInsert, kShift, [](S& s, V&) { s.PasteFromClipboard(); });
  t.Add(vkV, kCtrl, [](S& s, V&) { s.PasteFromClipboard(); });
  t.Add(vkDelete, kCtrl, [](S& s, V&) { s.DeleteSelection(); });
  t.Add(vkZ, kCtrl, [](S& s, V&) { s.Undo(); });
  t.Add(vkBackspace, kAlt, [](S& s, V&) { s.Undo(); });
  t.Add(vkZ, kShiftCtrl, [](S& s, V&) { s.Redo(); });
  t.Add(vkBackspace, kShiftAlt, [](S& s, V&) { s.Redo(); });
  t.Add(vkA, kCtrl, [](S& s, V&) { s.SelectAll(); });
  t.Add(vkY, kCtrl, [](S& s, V&) { s.DeleteLine(); });
  t.Add(vkY, kShiftCtrl, [](S& s, V&) { s.DeleteToLineEnd(); });
  t.Add(vkT, kCtrl, [](S& s, V&) { s.DeleteWordRight(); });
  t.Add(vkI, kCtrl, [](S& s, V&) { s.TabKey(); });
  t.Add(vkI, kShiftCtrl, [](S& s, V&) { s.IndentBlock(); });
  t.Add(vkU, kShiftCtrl, [](S& s, V&) { s.UnindentBlock(); });
  for (int d = 0; d <= 9; ++d) {
    auto key = static_cast<TKeyCode>(vk0 + d);
    int n = BookmarkOfDigit(d);
    t.Add(key, kCtrl, [n](S& s, V&) { s.GotoBookmark(n); });
    t.Add(key, kShiftCtrl, [n](S& s, V&) { s.SetBookmark(n); });
  }
  t.Add(vkF, kCtrl, [](S&, V& v) { v.Find(); });
  t.Add(vkR, kCtrl, [](S&, V& v) { v.Replace(); });
  t.Add(vkF3, kPlain, [](S&, V& v) { v.FindAgain(); });
  t.Add(vkE, kCtrl, [](S&, V& v) { v.FindAgain(); });
  t.Add(vkL, kCtrl, [](S&, V& v) { v.FindAgain(); });
  t.Add(vkJ, kCtrl, CodeTemplate);
  t.Add(vkOpenBracket, kCtrl, [](S& s, V&) { s.GotoMatchingBracket(); });
  t.Add(vkG, kShiftCtrl, [](S& s, V&) { s.InsertGuid(); });
  t.Add(vkQ, kAltCtrl, [](S& s, V&) { s.QuoteBlock(); });
  // Esc leaves the text model alone: it only ends what the mouse started.
  t.Add(vkEscape, kPlain, [](S&, V& v) { v.EndMouseAction(); });
}

void AddMoves(TKeyList& t) {
  struct Row {
    TKeyCode Key;
    TMove Move;
  };
  const Row basic[] = {{vkUp, Up},          {vkDown, Down},     {vkLeft, Left},
                       {vkRight, Right},    {vkPageUp, PageUp}, {vkPageDown, PageDown},
                       {vkHome, LineStart}, {vkEnd, LineEnd}};
  for (const Row& r : basic) {
    AddMove(t, r.Key, kPlain, r.Move, true);
    AddSelect(t, r.Key, kShift, TSelectionType::Stream, r.Move);
    AddSelect(t, r.Key, kShiftAlt, TSelectionType::Column, r.Move);
  }

  AddMove(t, vkLeft, kCtrl, WordLeft);
  AddMove(t, vkRight, kCtrl, WordRight);
  AddMove(t, vkHome, kCtrl, TextStart, true);
  AddMove(t, vkEnd, kCtrl, TextEnd, true);
  AddMove(t, vkPageUp, kCtrl, FirstVisible, true);
  AddMove(t, vkPageDown, kCtrl, LastVisible, true);
  t.Add(vkUp, kCtrl, [](TCustomMemoSource&, TKeyView& v) { v.ScrollLines(-1); });
  t.Add(vkDown, kCtrl, [](TCustomMemoSource&, TKeyView& v) { v.ScrollLines(1); });

  const Row stream[] = {{vkLeft, WordLeft}, {vkRight, WordRight},     {vkHome, TextStart},
                        {vkEnd, TextEnd},   {vkPageUp, FirstVisible}, {vkPageDown, LastVisible}};
  for (const Row& r : stream) AddSelect(t, r.Key, kShiftCtrl, TSelectionType::Stream, r.Move);

  // With Alt the Home/End and PgUp/PgDn pairs trade places: Home and End reach the
  // visible lines, PgUp and PgDn the ends of the text.
  const Row column[] = {{vkLeft, WordLeft},   {vkRight, WordRight},  {vkHome, FirstVisible},
                        {vkEnd, LastVisible}, {vkPageUp, TextStart}, {vkPageDown, TextEnd}};
  for (const Row& r : column) AddSelect(t, r.Key, kShiftAltCtrl, TSelectionType::Column, r.Move);
}

// The second key of a Ctrl+K or Ctrl+Q pair works with Ctrl held as well.
void AddPairLetter(TKeyList& t, int prefix, TKeyCode key, const TKeyCommand& command) {
  t.AddTwoKey(prefix, key, kPlain, command);
  t.AddTwoKey(prefix, key, kCtrl, command);
}

void AddTwoKeys(TKeyList& t) {
  using S = TCustomMemoSource;
  using V = TKeyView;
  t.AddPrefix(vkK, kCtrl, kPrefixCtrlK);
  t.AddPrefix(vkQ, kCtrl, kPrefixCtrlQ);
  t.AddPrefix(vkO, kCtrl, kPrefixCtrlO);

  const int k = kPrefixCtrlK;
  AddPairLetter(t, k, vkB, [](S& s, V&) { s.SetBlockBegin(); });
  AddPairLetter(t, k, vkK, [](S& s, V&) { s.SetBlockEnd(); });
  AddPairLetter(t, k, vkC, [](S& s, V&) { s.CopySelectionToCaret(); });
  AddPairLetter(t, k, vkV, [](S& s, V&) { s.MoveSelectionToCaret(); });
  AddPairLetter(t, k, vkY, [](S& s, V&) { s.DeleteSelection(); });
  AddPairLetter(t, k, vkI, [](S& s, V&) { s.IndentBlock(); });
  AddPairLetter(t, k, vkU, [](S& s, V&) { s.UnindentBlock(); });
  AddPairLetter(t, k, vkN, [](S& s, V&) { s.UpperCaseBlock(); });
  AddPairLetter(t, k, vkO, [](S& s, V&) { s.LowerCaseBlock(); });
  AddPairLetter(t, k, vkF, [](S& s, V&) { s.UpperCaseWord(); });
  AddPairLetter(t, k, vkE, [](S& s, V&) { s.LowerCaseWord(); });
  AddPairLetter(t, k, vkT, [](S& s, V&) { s.SelectWordAtCaret(); });
  AddPairLetter(t, k, vkL, [](S& s, V&) { s.SelectCaretLine(); });

  const int q = kPrefixCtrlQ;
  AddPairLetter(t, q, vkB, [](S& s, V&) { s.SetCaret(s.BlockBegin().X, s.BlockBegin().Y); });
  AddPairLetter(t, q, vkK, [](S& s, V&) { s.SetCaret(s.BlockEnd().X, s.BlockEnd().Y); });
  AddPairLetter(t, q, vkS, LineStart);
  AddPairLetter(t, q, vkD, LineEnd);
  AddPairLetter(t, q, vkR, TextStart);
  AddPairLetter(t, q, vkC, TextEnd);
  AddPairLetter(t, q, vkE, FirstVisible);
  AddPairLetter(t, q, vkT, FirstVisible);
  AddPairLetter(t, q, vkX, LastVisible);
  AddPairLetter(t, q, vkU, LastVisible);
  AddPairLetter(t, q, vkY, [](S& s, V&) { s.DeleteToLineEnd(); });
  AddPairLetter(t, q, vkF, [](S&, V& v) { v.Find(); });
  AddPairLetter(t, q, vkA, [](S&, V& v) { v.Replace(); });

  for (int d = 0; d <= 9; ++d) {
    auto key = static_cast<TKeyCode>(vk0 + d);
    int n = BookmarkOfDigit(d);
    t.AddTwoKey(k, key, kPlain, [n](S& s, V&) { s.SetBookmark(n); });
    t.AddTwoKey(q, key, kPlain, [n](S& s, V&) { s.GotoBookmark(n); });
    t.AddTwoKey(q, key, kCtrl, [n](S& s, V&) { s.GotoBookmark(n); });
    t.AddTwoKey(q, key, kShiftCtrl, [n](S& s, V&) { s.SetBookmark(n); });
  }

  // Ctrl+O pairs take the plain letter only.
  const int o = kPrefixCtrlO;
  t.AddTwoKey(o, vkG, kPlain, [](S&, V& v) { v.GotoLine(); });
  t.AddTwoKey(o, vkU, kPlain, [](S& s, V&) { s.ToggleCaseBlock(); });
  t.AddTwoKey(o, vkL, kPlain, [](S& s, V&) { s.SelectCaretLine(); });
}

} // namespace

TKeyList TKeyList::Default() {
  TKeyList t;
  AddMoves(t);
  AddSingleKeys(t);
  AddTwoKeys(t);
  return t;
}

} // namespace marlo
