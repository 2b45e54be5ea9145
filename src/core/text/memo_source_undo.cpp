// Undo and redo, grouping, trimming, and the modified state.
#include "core/text/memo_source.h"

#include <algorithm>

namespace marlo {

void TCustomMemoSource::Undo() {
  if (undo_.Empty() || readOnly_) return;
  ReplayRecords(false);
}

void TCustomMemoSource::Redo() {
  if (redo_.Empty() || readOnly_) return;
  ReplayRecords(true);
}

void TCustomMemoSource::ReplayRecords(bool redo) {
  TUndoList& source = redo ? redo_ : undo_;
  TChangeKind kind = source.Last().ChangeKind;
  replaying_ = true;
  recordToRedo_ = !redo;
  {
    ChangeScope scope(*this, kind);
    changeFlags_.Include(chUndo);
    try {
      // Each replacement of the whole text is a step of its own, grouping or not: one
      // Undo after two reloads brings back the text of the first.
      bool textReplayed = false;
      while (!source.Empty()) {
        firstRecord_ = true; // what one record brings back starts a change of its own
        if (source.Last().ChangeKind != kind && !source.Last().InGroup) break;
        if (textReplayed && source.Last().Action == uaText) break;
        TUndoRecord r = std::move(source.Last());
        int index = source.Count() - 1;
        source.Pop();
        ApplyRecord(r);
        if (!redo && savePoint_ == index) {
          savePoint_ = -1;
          forcedModified_ = true;
        }
        if (r.FirstOfChange && !Has(soGroupUndo) && !r.InGroup) break;
        if (r.Action == uaText) {
          textReplayed = true;
          // It opens its change: what lies before it belongs to another.
          if (!redo) break;
        }
      }
      // The caret is clamped once, at the end. Both lists learn of it: the opposite
      // replay moves it back first, and so does the next replay in this direction, so
      // that every record is replayed from exactly the place where it was made.
      TPoint exact = Caret();
      int x = exact.X, y = exact.Y;
      ClampCaret(x, y);
      if (x != exact.X || y != exact.Y) {
        caret_.X = x;
        caret_.Y = y;
        if (allowUndo_) {
          PushCorrection(RecordingList(), changeKind_, y - exact.Y, x - exact.X);
          if (!source.Empty())
            PushCorrection(source, source.Last().ChangeKind, y - exact.Y, x - exact.X);
        }
      }
    } catch (...) {
      selKind_ = TSelectionType::None;
      replaying_ = false;
      recordToRedo_ = false;
      throw;
    }
    selKind_ = TSelectionType::None;
  }
  replaying_ = false;
  recordToRedo_ = false;
}

void TCustomMemoSource::PushCorrection(TUndoList& list, TChangeKind kind, int dLine, int dCol) {
  TUndoRecord& r = list.Push();
  r.Action = uaCaretMove;
  r.Value1 = dLine;
  r.Value2 = dCol;
  r.ChangeKind = kind;
  r.InGroup = true;
  r.Correction = true;
}

void TCustomMemoSource::ApplyCorrection(const TUndoRecord& r) {
  caret_.X = std::max(0, caret_.X - r.Value2);
  caret_.Y = std::max(0, caret_.Y - r.Value1);
  // Its twin on the other list, if it is still on top, goes too; otherwise the other
  // list learns of the move, so that a replay from there starts from the same place.
  TUndoList& other = RecordingList();
  if (!other.Empty() && other.Last().Correction && other.Last().Value1 == r.Value1 &&
      other.Last().Value2 == r.Value2)
    other.Pop();
  else if (allowUndo_)
    PushCorrection(other, changeKind_, -r.Value1, -r.Value2);
}

void TCustomMemoSource::ApplyRecord(const TUndoRecord& r) {
  if (r.Correction) {
    ApplyCorrection(r);
    return;
  }
  switch (r.Action) {
  case uaCaretMove:
    MoveCaret(-r.Value1, -r.Value2);
    break;
  case uaInsert:
    DeleteChars(r.Value1);
    break;
  case uaSplit:
    JoinLines();
    break;
  case uaJoin:
    SplitLine();
    break;
  case uaDelete: {
    int y = caret_.Y, x = caret_.X;
    if (InsertText(r.Text) && !r.Styles.empty() && y < LineCount()) {
      size_t idx = static_cast<size_t>(ColumnToIndex(y, x));
      std::string& colors = colors_.KeptStyles(y);
      colors.resize(store_.Text(y).size(), '\0');
      colors.replace(idx, std::min(r.Styles.size(), colors.size() - std::min(idx, colors.size())),
                     r.Styles);
      colors.resize(store_.Text(y).size(), '\0');
    }
    break;
  }
  case uaText: {
    TUndoRecord now;
    if (allowUndo_) TakeLinesInto(now);
    const int oldCount = LineCount();
    PutLinesBack(r);
    if (TUndoRecord* inverse = AddUndo(uaText)) {
      inverse->Text = std::move(now.Text);
      inverse->Styles = std::move(now.Styles);
    }
    ClampToReplacedLines(oldCount);
    break;
  }
  case uaStyle: {
    int y = r.Value1;
    if (y < 0 || y >= LineCount()) break;
    std::string& colors = colors_.KeptStyles(y);
    size_t pos = static_cast<size_t>(std::max(0, r.Value2));
    if (pos >= colors.size()) break;
    size_t n = std::min(r.Styles.size(), colors.size() - pos);
    if (TUndoRecord* inverse = AddUndo(uaStyle)) {
      inverse->Value1 = r.Value1;
      inverse->Value2 = r.Value2;
      inverse->Styles = colors.substr(pos, n);
    }
    colors.replace(pos, n, r.Styles.substr(0, n));
    MarkLinesChanged(y, y);
    break;
  }
  }
}

void TCustomMemoSource::ClearUndo() {
  undo_.Clear();
  redo_.Clear();
  // Changes that can no longer be undone keep the document modified until it is saved.
  savePoint_ = -1;
  forcedModified_ = modified_;
}

void TCustomMemoSource::BeginUndoGroup() {
  ++groupDepth_;
}

void TCustomMemoSource::EndUndoGroup() {
  if (groupDepth_ == 0) return;
  if (--groupDepth_ == 0 && allowUndo_) {
    ChangeScope scope(*this, changeDepth_ > 0 ? changeKind_ : TChangeKind::Other);
    // The closing record belongs to the group: an undo that meets it goes on into the
    // group even when the group was made outside any change.
    if (TUndoRecord* r = AddUndo(uaCaretMove)) r->InGroup = true;
  }
}

void TCustomMemoSource::TrimUndo() {
  if (!allowUndo_ || undoLimit_ == 0 || replaying_) return;
  int n = undo_.Count();
  if (n - 100 <= undoLimit_) return;
  int c = n - undoLimit_ - 1;
  while (c >= 1 && undo_[c].InGroup) --c;
  if (c <= 0) return;
  bool removedText = false;
  for (int i = 0; i <= c && !removedText; ++i) removedText = undo_[i].ChangesText();
  undo_.RemoveFirst(c + 1);
  savePoint_ -= c + 1;
  if (savePoint_ < 0) {
    savePoint_ = -1;
    if (removedText) forcedModified_ = true;
  }
}

int TCustomMemoSource::LastTextRecord() const {
  for (int i = undo_.Count() - 1; i >= 0; --i)
    if (undo_[i].ChangesText()) return i;
  return -1;
}

bool TCustomMemoSource::ModifiedSinceSave() const {
  if (forcedModified_) return true;
  for (int i = undo_.Count() - 1; i > savePoint_; --i)
    if (undo_[i].ChangesText()) return true;
  return false;
}

void TCustomMemoSource::SetModified(bool value) {
  forcedModified_ = value;
  if (value == modified_) {
    if (!value) savePoint_ = LastTextRecord();
    return;
  }
  ChangeScope scope(*this, TChangeKind::Other);
  modified_ = value;
  if (!value) savePoint_ = LastTextRecord();
}

} // namespace marlo
