// The document window's recovery journal: started when the document first becomes
// modified, told of the caret, bookmarks and caption now and then, removed when the text
// is saved, or when the window closes without saving because the user said so.
#include "core/error.h"
#include "ui/app/disk_watch.h"
#include "ui/app/main_form.h"
#include "ui/app/window_form.h"
#include "ui/recovery/journal.h"

#include <QTimer>

namespace marlo {

namespace {

// How often the caret and bookmarks are written at most, and the writer's errors looked at.
constexpr int kJournalStateMs = 500;

} // namespace

recovery::TJournalState TWindowForm::JournalState() {
  const TCustomMemoSource& s = MemoSource();
  recovery::TJournalState state;
  state.Caption = caption_;
  state.Untitled = IsUntitled();
  state.CharSet = dm_->CharSet();
  state.OutFormat = static_cast<int>(s.OutFormat());
  state.ExcludeReadOnlyLines = s.Has(soExcludeReadOnlyLines);
  state.CaretLine = s.CaretY();
  state.CaretColumn = s.CaretX();
  for (int n = 0; n < 10; ++n) {
    TPoint p;
    if (s.GetBookmark(n, p)) state.Bookmarks.push_back({n, p.Y, p.X});
  }
  if (!state.Untitled && DiskWatch().Watching()) state.DiskFile = DiskWatch().Base();
  return state;
}

void TWindowForm::StartJournal() {
  if (journal_ || closed_) return;
  try {
    journal_ = std::make_unique<recovery::TJournalWriter>(main_.JournalFolder(), MemoSource(),
                                                          JournalState());
  } catch (const Error& e) {
    main_.JournalFailed(e.what());
    return;
  }
  if (!journalTimer_) {
    journalTimer_ = new QTimer(this);
    journalTimer_->setInterval(kJournalStateMs);
    connect(journalTimer_, &QTimer::timeout, this, [this] { WriteJournalState(); });
  }
  journalTimer_->start();
}

void TWindowForm::WriteJournalState() {
  if (!journal_) return;
  // Equal states are not written again.
  journal_->SetState(JournalState());
  const std::string error = journal_->TakeError();
  if (!error.empty()) main_.JournalFailed(error);
}

void TWindowForm::RemoveJournal() {
  if (journalTimer_) journalTimer_->stop();
  if (!journal_) return;
  journal_->Remove();
  journal_.reset();
}

bool TWindowForm::FlushJournal() {
  if (!journal_) return false;
  journal_->Flush(true);
  const std::string error = journal_->TakeError();
  if (error.empty()) return true;
  main_.JournalFailed(error);
  return false;
}

} // namespace marlo
