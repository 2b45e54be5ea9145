// The session (the document windows of the last shut-down, opened again by a start without
// files) and the files a later start hands over to this program.
#include "ui/app/main_form.h"

#include "core/platform/file_system.h"
#include "core/platform/registry_store.h"
#include "ui/app/window_form.h"
#include "ui/qt_text.h"

#include <QStatusBar>

namespace marlo {

TSessionList TMainForm::CurrentSession() const {
  TSessionList session;
  for (TWindowForm* w : Documents()) {
    if (w->IsUntitled()) continue;
    TCustomMemoSource& source = w->MemoSource();
    session.Add({w->Caption(), source.CaretX(), source.CaretY(), w->Editor().FirstVisibleLine(),
                 source.Bookmarks().Items()});
  }
  return session;
}

void TMainForm::SaveSession(const TSessionList& session) {
  RunCommand([&] {
    platform::TRegistry registry;
    // Switched off, nothing of the windows is kept.
    (settings_.RestoreSession ? session : TSessionList()).SaveToRegistry(registry);
    registry.Flush();
  });
}

void TMainForm::RestoreSession() {
  if (!settings_.RestoreSession) return;
  TSessionList session;
  RunCommand([&] {
    platform::TRegistry registry(platform::DefaultRegistryPath(), platform::raReadOnly);
    session.LoadFromRegistry(registry);
  });
  QStringList missing;
  for (const TSessionWindow& w : session.Windows()) {
    if (openDocumentCount_ >= kMaxDocuments) break;
    if (!platform::FileExists(w.FileName)) {
      missing << PathToQString(w.FileName);
      continue;
    }
    // A window a recovery or the command line opened already stays as it is.
    bool open = false;
    for (TWindowForm* d : Documents()) open |= d->Caption() == w.FileName;
    if (open) continue;
    RunCommand([&] {
      if (TWindowForm* window = OpenDocumentWindow(w.FileName)) RestoreWindowPlace(*window, w);
    });
  }
  if (!missing.isEmpty())
    statusBar()->showMessage(UiText("SessionFilesMissing").arg(missing.join(", ")));
}

void TMainForm::RestoreWindowPlace(TWindowForm& window, const TSessionWindow& place) {
  TCustomMemoSource& source = window.MemoSource();
  const bool modified = source.Modified();
  // Bookmarks are set where the caret stands; lines beyond the end clamp to the last one.
  for (const TBookmark& b : place.Bookmarks) {
    source.SetCaret(b.X, b.Y);
    source.SetBookmark(b.Number);
  }
  source.SetCaret(place.CaretX, place.CaretY);
  // Putting the window back as it was is nothing to undo, nor a change to save.
  source.ClearUndo();
  if (!modified) source.SetModified(false);
  window.Editor().SetFirstVisibleLine(place.TopLine);
}

void TMainForm::OpenHandedFiles(const std::vector<std::string>& files) {
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
  for (const std::string& f : files) RunCommand([&] { OpenDocumentWindow(f); });
}

} // namespace marlo
