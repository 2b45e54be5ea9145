// Recovery at start-up: the journals of documents that were neither saved nor closed when
// the program last ended (a crash, a kill, a power cut) are offered in one window, before
// the command line's files are opened.
#include "core/error.h"
#include "core/platform/file_system.h"
#include "ui/app/disk_watch.h"
#include "ui/app/main_form.h"
#include "ui/app/window_form.h"
#include "ui/qt_text.h"
#include "ui/recovery/journal.h"
#include "ui/recovery/recovery_dlg.h"

#include <QDateTime>
#include <QLocale>

#include <cstdio>

namespace marlo {

const std::string& TMainForm::JournalFolder() {
  if (journalFolder_.empty()) journalFolder_ = recovery::RecoveryFolder();
  return journalFolder_;
}

void TMainForm::JournalFailed(const std::string& reason) {
  // Once a run: editing goes on without a journal, and the user knows.
  std::fprintf(stderr, "marlo: %s\n", reason.c_str());
  if (journalFailureShown_) return;
  journalFailureShown_ = true;
  Dialogs().Error(this, UiText("RecoveryCannotWrite") + "\n\n" + PathToQString(reason));
}

void TMainForm::OfferRecovery() {
  std::vector<recovery::TJournalEntry> entries;
  try {
    for (recovery::TJournalEntry& e : recovery::ListJournals(JournalFolder()))
      if (e.Status != recovery::TJournalStatus::Live) entries.push_back(std::move(e));
  } catch (const Error& e) {
    Dialogs().Error(this, PathToQString(e.what()));
    return;
  }
  if (entries.empty()) return;
  std::vector<TRecoveryRow> rows;
  for (const recovery::TJournalEntry& e : entries) {
    TRecoveryRow row;
    const bool untitled = e.Caption.empty() || e.Caption.front() != '/';
    row.Name = PathToQString(untitled ? e.Caption : platform::ExtractFileName(e.Caption));
    if (!untitled) row.Folder = PathToQString(platform::ExtractFilePath(e.Caption));
    if (row.Name.isEmpty()) row.Name = PathToQString(e.Id);
    row.LastChange =
        QLocale().toString(QDateTime::fromMSecsSinceEpoch(e.LastChangeMs), QLocale::ShortFormat);
    row.Lines = e.Lines;
    row.Readable = e.Status == recovery::TJournalStatus::Ok;
    rows.push_back(row);
  }
  const std::vector<TRecoveryChoice> choices =
      Dialogs().Recovery(this, rows, [this](std::string_view key) { return UiText(key); });
  for (size_t i = 0; i < entries.size() && i < choices.size(); ++i) {
    const recovery::TJournalEntry& e = entries[i];
    switch (choices[i]) {
    case TRecoveryChoice::Recover:
      try {
        RecoverJournal(e.Path);
      } catch (const Error& error) {
        // The journal stays for a later start, or for marlo-cli recover.
        Dialogs().Error(this, PathToQString(error.what()));
      }
      break;
    case TRecoveryChoice::Discard:
      if (!recovery::DiscardJournal(e.Path))
        Dialogs().Error(this, UiText("RecoveryCannotDiscard") + "\n\n" + PathToQString(e.Path));
      break;
    case TRecoveryChoice::Keep:
      break;
    }
  }
}

TWindowForm* TMainForm::RecoverJournal(const std::string& path) {
  recovery::TRecoveredText text = recovery::ReadJournal(path);
  TWindowForm* window = OpenDocumentWindow(LanguageText("UntitledWindow"));
  if (!window) return nullptr;
  const recovery::TJournalState& state = text.State;
  if (!state.Untitled) window->SetCaption(state.Caption);
  TCustomMemoSource& source = window->MemoSource();
  source.SetOutFormat(static_cast<TOutFormatType>(state.OutFormat));
  source.Lines().Assign(text.Lines);
  for (const recovery::TBookmarkMark& m : state.Bookmarks) {
    source.SetCaret(m.Column, m.Line);
    source.SetBookmark(m.Index);
  }
  source.SetCaret(state.CaretColumn, state.CaretLine);
  // Modified, with nothing to undo: the window keeps a journal of its own from here on.
  source.SetModified(true);
  source.ClearUndo();
  window->Editor().ScrollToCaret();
  if (!state.Untitled) {
    // Measured against the file as it was when the journal began: a file changed since
    // is told by the window's bar, not chosen silently.
    window->DiskWatch().Watch(state.Caption, state.DiskFile);
    window->DiskWatch().Check();
  }
  // The old journal goes only once the new one holds the text on disk.
  if (window->FlushJournal()) recovery::DiscardJournal(path);
  return window;
}

} // namespace marlo
