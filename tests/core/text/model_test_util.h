#pragma once
// Helpers shared by the text model tests: building a model with given lines, reading its
// lines back, recording the notifications a view receives, and scratch folders.
#include "../temp_dir.h"
#include "core/text/clipboard.h"
#include "core/text/memo_source.h"
#include "core/text/memo_view.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace marlo::test {

using Lines = std::vector<std::string>;

// The stored lines (tabs unexpanded, trailing blanks kept).
inline Lines StoredLines(const TCustomMemoSource& m) {
  Lines out;
  for (int i = 0; i < m.LineCount(); ++i) out.emplace_back(m.StoredLine(i));
  return out;
}

// The lines as the views see them (tabs expanded).
inline Lines ShownLines(const TCustomMemoSource& m) {
  Lines out;
  for (int i = 0; i < m.LineCount(); ++i) out.push_back(m.LineText(i));
  return out;
}

// Lines written in one string for tables, '|' between them: "ab|cd" is {"ab", "cd"}, "|" two
// empty lines and "" no lines at all.
inline Lines LinesOf(std::string_view text) {
  Lines out;
  if (text.empty()) return out;
  for (size_t from = 0;; ++from) {
    size_t bar = text.find('|', from);
    out.emplace_back(text.substr(from, bar - from));
    if (bar == std::string_view::npos) return out;
    from = bar;
  }
}

inline std::string RTrim(std::string_view v) {
  std::string s(v);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32) s.pop_back();
  return s;
}

inline Lines RTrimmed(Lines lines) {
  for (auto& l : lines) l = RTrim(l);
  return lines;
}

// Replaces the text through the line list and takes that as saved: the caret at the
// start, no undo history, not modified.
inline void SetText(TCustomMemoSource& m, const Lines& lines) {
  m.Lines().Assign(lines);
  m.SetModified(false);
}

// A model with the base defaults and the given text. The insert/overwrite mode is shared
// by every model, so each test starts in insert mode.
inline std::unique_ptr<TMemoSource> BaseModel(const Lines& lines = {}) {
  auto m = std::make_unique<TMemoSource>();
  m->SetOverwrite(false);
  SetText(*m, lines);
  return m;
}

// A model configured as a document window configures it.
inline std::unique_ptr<TMemoSource> DocModel(const Lines& lines = {}) {
  auto m = std::make_unique<TMemoSource>();
  m->ConfigureAsDocument();
  m->SetOverwrite(false);
  SetText(*m, lines);
  return m;
}

// Undoes (redoes) until nothing is left; false when that does not come to an end.
inline bool UndoEverything(TCustomMemoSource& m, int limit = 20000) {
  for (int i = 0; i < limit && m.CanUndo(); ++i) m.Undo();
  return !m.CanUndo();
}
inline bool RedoEverything(TCustomMemoSource& m, int limit = 20000) {
  for (int i = 0; i < limit && m.CanRedo(); ++i) m.Redo();
  return !m.CanRedo();
}

// Selects from (x1, y1) to (x2, y2) the way the keyboard does: the caret ends at (x2, y2).
inline void Select(TCustomMemoSource& m, TSelectionType kind, int x1, int y1, int x2, int y2) {
  m.SetCaret(x1, y1);
  m.SelectMove(kind, [&] { m.SetCaret(x2, y2); });
}

class RecordingView : public TMemoView {
public:
  void SourceChanged(TCustomMemoSource&, const TChangeInfo& change) override {
    changes.push_back(change);
  }
  int Count() const { return static_cast<int>(changes.size()); }
  const TChangeInfo& Last() const { return changes.back(); }
  void Reset() { changes.clear(); }

  std::vector<TChangeInfo> changes;
};

// Registers a recording view for the lifetime of the object.
class ScopedView {
public:
  explicit ScopedView(TCustomMemoSource& m) : m_(m) { m_.AddView(&view, false); }
  ~ScopedView() { m_.RemoveView(&view); }
  ScopedView(const ScopedView&) = delete;
  ScopedView& operator=(const ScopedView&) = delete;
  RecordingView view;

private:
  TCustomMemoSource& m_;
};

// Puts a clipboard in place for one test and restores the in-process one afterwards.
class ScopedClipboard {
public:
  explicit ScopedClipboard(TClipboard* c) { TClipboard::Install(c); }
  ~ScopedClipboard() { TClipboard::Install(nullptr); }
  ScopedClipboard(const ScopedClipboard&) = delete;
  ScopedClipboard& operator=(const ScopedClipboard&) = delete;
};

// The clipboard and the column flag of the last copy are shared by every model: this
// empties the one and clears the other (a copy of a stream selection clears it).
inline void ResetClipboard() {
  TClipboard::Install(nullptr);
  TMemoSource scratch;
  scratch.Lines().Assign({"x"});
  scratch.SelectAll();
  scratch.CopyToClipboard();
  TClipboard::Current().Clear();
}

// Clipboard text that another program put there.
class ForeignClipboard : public TProcessClipboard {
public:
  bool OwnedByUs() override { return false; }
};

} // namespace marlo::test
