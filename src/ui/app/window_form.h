#pragma once
// A document window: one editor control over one text model, a status bar of three
// panels, an error panel the build report fills, and a pop-up menu. Its caption is the
// name of its file.
#include "core/shell/document_keys.h"
#include "core/text/memo_source.h"
#include "ui/editor/code_memo.h"
#include "ui/editor/memo_search.h"

#include <QWidget>

#include <memory>
#include <string>

class QAction;
class QLabel;
class QMenu;
class QStatusBar;
class QTimer;

namespace marlo {

class TMainForm;
class TDiskBar;
class TDiskWatch;
namespace recovery {
class TJournalWriter;
struct TJournalState;
} // namespace recovery

class TWindowForm : public QWidget {
  Q_OBJECT

public:
  explicit TWindowForm(TMainForm& main, QWidget* parent = nullptr);
  ~TWindowForm() override;

  TCodeMemo& Editor() { return *dm_; }
  TMemoSource& MemoSource();
  // Find, replace, find again and go to line on this window's text.
  TMemoSearch& Search() { return *search_; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& fileName);
  // Whether the caption is the language's name for a window without a file.
  bool IsUntitled() const;

  // Reads the file into the editor. Raises Error when it cannot be read.
  void LoadFile(const std::string& fileName);
  // The file was read only up to a NUL byte: the rest is not in the editor.
  bool LoadedUpToNul() const { return loadedUpToNul_; }
  const std::string& LoadedFileName() const { return loadedFileName_; }
  // The text is now in `fileName`.
  void SavedAs(const std::string& fileName);

  void UpdateStatusPanels();
  QString PanelText(int i) const;
  QWidget* ErrorPanel() const { return errorPanel_; }
  QLabel* ErrorLog() const { return errorLog_; }
  QMenu* ContextMenu() const { return rcmenu_; }
  QAction* ContextAction(const QString& name) const;

  // Fills the pop-up menu's state for the caret as it stands (the file name in quotes).
  void rcmenuPopup();
  const std::string& FileAtCursor() const { return fileAtCursor_; }
  void OpenFileatCursor1Click();
  void PreviewInsertRGBColor1Click();
  int DesiredColumn() const { return keys_->DesiredColumn(); }

  // The close question alone: whether the window may close (saving on Yes).
  bool CloseQuery() { return FormCloseQuery(); }
  // Closes after CloseQuery has been answered.
  void CloseAnswered();
  // Closes without any question: the window was never a document.
  void Discard();
  bool IsClosed() const { return closed_; }

  // ---- The file on disk (window_form_disk.cpp) ----------------------------------------
  TDiskWatch& DiskWatch() { return *disk_; }
  TDiskBar* DiskBar() const { return diskBar_; }
  // What the status bar says of the last reload.
  QString DiskNote() const;
  // Reads the file again, as one change that Undo takes back. Raises Error when it cannot
  // be read, changing nothing.
  void ReloadFromDisk();
  enum TSaveOver { SaveOver, SaveElsewhere, SaveCancelled };
  // Before a save to `fileName`: when someone else changed the file since it was read or
  // saved, asks whether to overwrite it, save elsewhere or not save.
  TSaveOver AskBeforeSaving(const std::string& fileName);

  // ---- The recovery journal (window_form_journal.cpp) ----------------------------------
  // Kept from the document's first modification until it is saved or closed; what a
  // crash would otherwise lose.
  bool HasJournal() const { return journal_ != nullptr; }
  const recovery::TJournalWriter* Journal() const { return journal_.get(); }
  recovery::TJournalState JournalState();
  // Waits until the journal is on disk; false without a journal or when it cannot be
  // written.
  bool FlushJournal();
  // The text is saved, or the window closes without keeping it: the journal goes.
  void RemoveJournal();

protected:
  void closeEvent(QCloseEvent* e) override;
  void showEvent(QShowEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

private:
  bool FormCloseQuery();
  bool dmKeyDown(QKeyEvent* e);
  void dmKeyUp(QKeyEvent* e);
  void SyncKeySettings();
  void CreateContextMenu();
  void CreateDiskWatch();
  void WatchFile(const std::string& fileName);
  void FileChangedOnDisk();
  void FileRemovedFromDisk();
  void DiskBarAnswered(int kind, int button);
  void StartJournal();
  void WriteJournalState();

  TMainForm& main_;
  TMemoSearch* search_ = nullptr; // owned by the editor control
  TCodeMemo* dm_;
  std::unique_ptr<TDocumentKeys> keys_;
  QStatusBar* statusBar_;
  QLabel* panels_[3];
  QWidget* errorPanel_;
  QLabel* errorLog_;
  QMenu* rcmenu_;
  TDiskWatch* disk_;
  TDiskBar* diskBar_;
  QLabel* diskNote_;
  std::unique_ptr<recovery::TJournalWriter> journal_;
  QTimer* journalTimer_ = nullptr;
  std::string caption_;
  std::string fileAtCursor_;
  std::string loadedFileName_;
  bool justCreated_ = true;
  bool loadedUpToNul_ = false;
  bool closed_ = false;
  bool answered_ = false;
};

} // namespace marlo
