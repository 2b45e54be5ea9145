#pragma once
// The main window: the frame of the document windows, with the menus, the toolbar, the
// status bar and everything the documents share (settings, language table, highlighter,
// recent files, dialogs).
#include "core/build/build_list.h"
#include "core/shell/language_table.h"
#include "core/shell/mru_file_list.h"
#include "core/shell/session_list.h"
#include "core/shell/settings.h"
#include "core/syntax/my_parser.h"
#include "ui/app/app_dialogs.h"

#include <QColor>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QLabel;
class QMenu;
class QPushButton;
class QToolBar;
class QToolButton;

namespace marlo {

namespace build {
struct TCoreCommand;
}

class TWindowForm;
class TAboutBox;
class TAppRunner;
class Tsetbmdlg;

class TMainForm : public QMainWindow {
  Q_OBJECT

public:
  static constexpr int kMaxDocuments = 25;

  // Runs the creation steps. `dialogs` answers every question; null means real dialogs.
  // `programFolder` is where Language.txt and the other files beside the program are
  // looked for; empty means the program's own folder.
  explicit TMainForm(std::unique_ptr<TAppDialogs> dialogs = nullptr,
                     const std::string& programFolder = {});
  ~TMainForm() override;

  // The command line, opened at the first showing of the window.
  void SetCommandLine(std::vector<std::string> args) { commandLine_ = std::move(args); }
  // The problems met while creating the window, in order; each is shown once the window is
  // on the screen.
  const QStringList& StartupErrors() const { return startupErrors_; }

  // ---- Operations the documents use ---------------------------------------------------
  TWindowForm* OpenDocumentWindow(const std::string& fileName);
  void ApplyEditorSettings(TWindowForm& window);
  void DocumentOpened();
  void DocumentClosed();
  int OpenDocumentCount() const { return openDocumentCount_; }
  TWindowForm* ActiveDocument() const;
  QList<TWindowForm*> Documents() const;

  const std::string& LanguageText(std::string_view key) const;
  const TLanguageTable& Language() const { return languageTable_; }
  // A language text as the screen shows it, through the character set's code page; in
  // English when the language file lacks one of the texts added since it was first written.
  QString UiText(std::string_view key) const;
  QString ToQString(const std::string& bytes) const;
  int CharSet() const { return charSet_; }
  const std::string& ProgramFolder() const { return programFolder_; }
  TSettings& Settings() { return settings_; }
  TMRUFileList& MRUList() { return mru_; }
  TAppDialogs& Dialogs() { return *dialogs_; }
  TLineParser* Highlighter();
  QList<QColor>& SavedCustomColors() { return savedCustomColors_; }
  QAction* Action(const QString& name) const;
  QMdiArea* MdiArea() const { return mdi_; }

  // ---- Commands -----------------------------------------------------------------------
  void FileNewExecute();
  void FileOpen1Execute();
  // False when the window was not saved (the user cancelled or declined).
  bool FileSaveClick();
  void FileSaveAsClick();
  void FileCloseClick();
  void WindowCascadeClick();
  void WindowTileHClick();
  void WindowTileVClick();
  void SearchClearBookmarkClick();
  void SearchSetBookmarkClick();
  void SearchGotoBookMarkClick();
  // The function or label pop-up under its toolbar button.
  void sbfunctionsClick();
  void sblabelsClick();
  void ShowList(bool functions);
  Tsetbmdlg& Setbmdlg();
  void mrulistMRUItemClick(const std::string& fileName);
  // Opens each dropped file in turn.
  void OpenDroppedFiles(const QStringList& fileNames);
  void HelpAboutClick();
  // Edit Options: on OK the settings are stored and every document window follows them.
  void EditOptionsClick();
  void HelpZBHelpClick();
  // Ctrl+B: the media browser; the name chosen with Insert goes to the active document.
  void HelpMediaBrowserClick();
  // Shows, plays or hands to its external viewer the media file `fileName`, as the
  // viewer settings say; a file that cannot be shown or played is reported.
  void PreviewMediaFile(const std::string& fileName);
  // Starts the viewer setting's program with the file as its one last argument, detached.
  void RunViewer(const std::string& viewerPath, const std::string& fileName);
  // Starts a program that lives on by itself (a browser, a viewer); tests put their own.
  using TDetachedStarter =
      std::function<bool(const QString& program, const QStringList& arguments, QString* error)>;
  void SetDetachedStarter(TDetachedStarter starter) { detachedStarter_ = std::move(starter); }

  // ---- Building -------------------------------------------------------------------------
  // Check, run, step through or build the active window with the core's switch text
  // (the step-through marker "!DE" appended for stepping).
  void BuildActiveWindow(const std::string& switchText);
  // Starts the core in `folder`; false (after saying so) when it could not start.
  bool RunCore(const build::TCoreCommand& command, const std::string& folder);
  void AppRunner1Terminated();
  // Shows the log's first line in the built window and puts the caret on its line.
  void ReportCoreLog(const std::string& logPath);
  TAppRunner& AppRunner1();
  bool CoreRunning() const;
  bool Building() const { return building_; }

  // Runs a command; an error it raises is shown and the program goes on.
  void RunCommand(const std::function<void()>& command);

  // ---- File rules the document windows share ------------------------------------------
  // The save dialog; an empty text when cancelled.
  std::string RunSaveDialog(const std::string& folder, const std::string& fileName);
  // Writes the window's text to `fileName` (asking first when the window's file was read
  // only up to a NUL byte) and clears the modified flag. False when the user declined.
  bool SaveDocumentTo(TWindowForm& window, const std::string& fileName, bool finalEmptyLine);
  // Save As for `window`: the dialog, then the save or export. False when not saved.
  bool SaveDocumentAs(TWindowForm& window);
  // Exports under an ".RTF", ".HTM" or ".HTML" name; false for any other name.
  bool ExportDocumentTo(TWindowForm& window, const std::string& fileName);
  void SetOpenDialogFolder(const std::string& folder) { openFolder_ = folder; }
  void SetSaveDialogFolder(const std::string& folder) { saveFolder_ = folder; }
  const std::string& OpenDialogFolder() const { return openFolder_; }
  const std::string& SaveDialogFolder() const { return saveFolder_; }
  // Writes the settings and the recent files; a failure is shown.
  void SaveSettingsNow();

  // ---- Sessions and later starts (main_form_session.cpp) ------------------------------
  // Whether the first showing, without files on the command line, calls RestoreSession.
  void SetRestoreSessionAtStart(bool on) { restoreSessionAtStart_ = on; }
  // The titled document windows in their order, with caret, first visible line, bookmarks.
  TSessionList CurrentSession() const;
  // Keeps `session` in the store (an empty one when Restore Session is off); a failure
  // is shown.
  void SaveSession(const TSessionList& session);
  // Opens the stored session's files again where they were, unless Restore Session is off.
  // Files no longer there are skipped and named once in the status bar.
  void RestoreSession();
  // Files another start of the program handed over: opened as dropped files, this window
  // brought to the front.
  void OpenHandedFiles(const std::vector<std::string>& files);

  // ---- Recovery (main_form_recovery.cpp) ----------------------------------------------
  // Where the documents' journals are kept.
  const std::string& JournalFolder();
  // A journal could not be written: said once a run, and editing goes on.
  void JournalFailed(const std::string& reason);
  // Offers the journals no running program holds (ended by a crash, a kill, a power
  // cut) in one window: each recovered, discarded or kept for later.
  void OfferRecovery();
  // Opens a window with the journal's text, modified, under the document's own caption,
  // caret and bookmarks where they were; the journal is replaced by the window's own.
  // Raises Error when the journal cannot be read.
  TWindowForm* RecoverJournal(const std::string& path);

protected:
  void closeEvent(QCloseEvent* e) override;
  void showEvent(QShowEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;

private:
  struct TCommand;

  void CreateSteps();
  void LoadSettingsStep();
  void CreateMenus();
  void CreateToolBar();
  void ApplyCaptions();
  void LoadButtonBitmaps();
  void FirstActivation();
  void EnableDocumentCommands(bool enabled);
  const QList<QAction*>& BuildActions();
  void UpdateBuildCommands();
  void SetBuilding(bool on);
  void CreateRunPanel();
  void BringBack();
  void ReplaceWindowText(TWindowForm& window, const std::vector<std::string>& lines);
  void RestoreWindowPlace(TWindowForm& window, const TSessionWindow& place);
  void RebuildMRUMenu();
  void RebuildWindowMenu();
  void TileWindows(bool horizontal);
  void PlaceInCascade(QMdiSubWindow* sub, int place);
  QString ShortenForMenu(const QString& fileName) const;

  std::unique_ptr<TAppDialogs> dialogs_;
  std::string programFolder_;
  TSettings settings_;
  TLanguageTable languageTable_;
  int charSet_ = 0;
  std::vector<std::string> keywordList_;
  std::unique_ptr<TMyParser> highlighter_;
  TMRUFileList mru_;
  QList<QColor> savedCustomColors_;
  std::string openFolder_;
  std::string saveFolder_;
  int openDocumentCount_ = 0;
  bool firstActivation_ = true;
  std::string journalFolder_;
  bool journalFailureShown_ = false;
  bool languageLoaded_ = false;
  std::vector<std::string> commandLine_;
  bool restoreSessionAtStart_ = false;
  QStringList startupErrors_;

  QMdiArea* mdi_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  std::map<QString, QAction*> actions_;
  std::map<QString, QMenu*> menus_;
  std::vector<QAction*> documentActions_;
  QList<QAction*> mruActions_;
  QAction* mruSeparator_ = nullptr;
  QList<QAction*> windowListActions_;
  std::map<QString, QToolButton*> flatButtons_;
  TAboutBox* aboutBox_ = nullptr;
  Tsetbmdlg* setbmdlg_ = nullptr;

  TDetachedStarter detachedStarter_;
  TAppRunner* appRunner1_ = nullptr;
  QPointer<TWindowForm> builtWindow_;
  build::TBuildList builtList_; // its line map, for the report
  std::string logFolder_;
  bool building_ = false;
  QList<QAction*> buildActions_;
  QWidget* runPanel_ = nullptr;
  QLabel* runLabel_ = nullptr;
  QPushButton* stopButton_ = nullptr;
};

} // namespace marlo
