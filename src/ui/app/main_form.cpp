#include "ui/app/main_form.h"

#include "ui/app/app_runner.h"

#include "core/shell/function_list.h"
#include "ui/tools/listdlg.h"
#include "ui/tools/setbmdlg.h"

#include "core/error.h"
#include "core/platform/file_system.h"
#include "core/platform/program_folder.h"
#include "core/platform/registry_store.h"
#include "core/shell/document_files.h"
#include "core/shell/editor_settings.h"
#include "core/shell/user_templates.h"
#include "ui/app/about_box.h"
#include "ui/app/toolbar_icons.h"
#include "ui/app/window_form.h"
#include "ui/editor/memo_print_form.h"
#include "ui/editor/qt_clipboard.h"
#include "ui/qt_text.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <cstdio>

namespace marlo {

namespace {

// One command of the menus: its name (also its language key unless given), the caption
// it has before the language table is applied, its short-cut, and whether it acts on
// the active document.
struct TCommandInfo {
  const char* Name;
  const char* Design;
  const char* Shortcut;
  bool PerDocument;
  const char* Key = nullptr; // when the language key differs from the name
};

// The menus in their order; "-" is a separator.
struct TMenuInfo {
  const char* Name;
  const char* Design;
  std::vector<TCommandInfo> Items;
};

const std::vector<TMenuInfo>& MenuTable() {
  static const std::vector<TMenuInfo> menus = {
      {"FileMenu",
       "&File",
       {{"FileNew", "&New", "Ctrl+N", false},
        {"FileOpen", "&Open", "Ctrl+O", false},
        {"FileClose", "&Close", "", true},
        {"FileSave", "&Save", "Ctrl+S", true},
        {"FileSaveAs", "Save &As...", "", true},
        {"-", "", "", false},
        {"FilePrint", "Print", "Ctrl+P", true},
        {"-", "", "", false},
        {"FileExit", "E&xit", "", false}}},
      {"EditMenu",
       "&Edit",
       {{"EditUndo", "Undo", "Ctrl+Z", true},
        {"EditRedo", "Redo", "", true},
        {"-", "", "", false},
        {"EditCut", "Cu&t", "Ctrl+X", true},
        {"EditCopy", "Copy", "Ctrl+C", true},
        {"EditPaste", "&Paste", "Ctrl+V", true},
        {"EditDelete", "Delete", "", true},
        {"EditSelectAll", "Select All", "Ctrl+A", true},
        {"-", "", "", false},
        {"EditOptions", "Edit Options...", "", false}}},
      {"SearchMenu",
       "Search",
       {{"SearchFind", "Find", "Ctrl+F", true},
        {"SearchReplace", "Replace", "Ctrl+H", true},
        {"SearchFindAgain", "Find Again", "F3", true},
        {"-", "", "", false},
        {"SearchSetBookmark", "Set Bookmark", "Ctrl+Alt+B", true},
        {"SearchClearBookmark", "Clear Current Bookmark", "Ctrl+Alt+C", true},
        {"-", "", "", false},
        {"SearchGotoLineNumber", "Goto Line Number", "Ctrl+G", true},
        {"SearchGotoBookMark", "Goto Bookmark", "Ctrl+Alt+G", true, "SearchGotoBookmark"},
        {"SearchGotoFunction", "Goto Function", "F8", true},
        {"SearchGotoLabel", "Goto Label", "F9", true}}},
      {"CompileMenu",
       "Compile",
       {{"CompileCheckSyntax", "Check Syntax", "F4", true},
        {"CompileExecute", "Execute", "F5", true},
        {"CompileStepThrough", "Step Through (Insert BREAKS)", "Shift+F5", true},
        {"-", "", "", false},
        {"CompileMakeEXE", "Make EXE File", "F6", true},
        {"CompileMakeFinal", "Make Final EXE (Include Media)", "F7", true}}},
      {"WindowMenu",
       "&Window",
       {{"WindowCascade", "&Cascade", "", true},
        {"WindowTileH", "Tile &Horizontally", "", true},
        {"WindowTileV", "Tile &Vertically", "", true}}},
      {"HelpMenu",
       "&Help",
       {{"HelpAbout", "&About...", "", false},
        {"-", "", "", false},
        {"HelpZBHelp", "Zorbic Help...", "F1", false},
        {"-", "", "", false},
        {"HelpMediaBrowser", "Media Browser", "Ctrl+B", false}}},
  };
  return menus;
}

const char* KeyOf(const TCommandInfo& c) {
  return c.Key ? c.Key : c.Name;
}

// The six flat buttons and the pictures beside the program they show.
struct TFlatButton {
  const char* Name;
  const char* Command;
  const char* Bitmap;
};
constexpr TFlatButton kFlatButtons[] = {
    {"sbCheck", "CompileCheckSyntax", "compile.bmp"},
    {"sbExecute", "CompileExecute", "execute.bmp"},
    {"sbMakeExe", "CompileMakeEXE", "MakeEXE.bmp"},
    {"sbMakeFinal", "CompileMakeFinal", "MakeFinal.bmp"},
    {"sbfunctions", "SearchGotoFunction", "functions.bmp"},
    {"sblabels", "SearchGotoLabel", "labels.bmp"},
};

QString WithoutAmpersands(QString text) {
  return text.remove(QLatin1Char('&'));
}

} // namespace

TMainForm::TMainForm(std::unique_ptr<TAppDialogs> dialogs, const std::string& programFolder)
    : dialogs_(dialogs ? std::move(dialogs) : std::make_unique<TAppDialogs>()),
      programFolder_(programFolder) {
  setObjectName("MainForm");
  setWindowTitle("Marlo");
  QFont font("Arial");
  font.setPixelSize(13);
  setFont(font);
  // Files dropped from the desktop open in document windows.
  setAcceptDrops(true);

  mdi_ = new QMdiArea(this);
  mdi_->setObjectName("MdiArea");
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdi_);
  // Keys that a document window leaves unused would otherwise scroll the whole frame.
  mdi_->installEventFilter(this);
  statusBar()->setObjectName("StatusBar");
  CreateRunPanel();
  CreateMenus();
  CreateToolBar();
  EnableDocumentCommands(false);
  CreateSteps();
  setWindowIcon(QIcon(PathToQString(programFolder_ + "marlo.png")));
  aboutBox_ = new TAboutBox(*this);
}

TMainForm::~TMainForm() {
  // The document windows go first: they still talk to the main window as they close.
  for (QMdiSubWindow* w : mdi_->subWindowList()) delete w;
}

// The creation steps. A failed step is reported; the steps after it that do not depend
// on it still run, so that one missing file does not leave the program without its texts.
void TMainForm::CreateSteps() {
  auto step = [this](const std::function<void()>& f) {
    try {
      f();
      return true;
    } catch (const std::exception& e) {
      startupErrors_ << MessageToQString(e.what());
      return false;
    }
  };
  LoadSettingsStep();
  step([this] {
    if (programFolder_.empty()) programFolder_ = platform::ProgramFolder();
    if (programFolder_.back() != '/') programFolder_ += '/';
  });
  step([this] { keywordList_ = LoadKeywordFile(programFolder_ + "keywords.txt"); });
  openFolder_ = saveFolder_ = settings_.SourcePath;
  languageLoaded_ = step([this] { languageTable_.LoadFromFile(programFolder_ + "Language.txt"); });
  if (languageLoaded_) step([this] { charSet_ = languageTable_.CharSet(); });
  TQtClipboard::Installed().SetCharSet(charSet_);
  if (languageLoaded_) ApplyCaptions();
  LoadButtonBitmaps();
}

void TMainForm::LoadSettingsStep() {
  QRect desktop(0, 0, 1008, 767);
  if (QScreen* screen = QGuiApplication::primaryScreen()) desktop = screen->virtualGeometry();
  settings_ = DefaultSettings({desktop.width(), desktop.height()});
  try {
    platform::TRegistry registry(
        platform::DefaultRegistryPath(), platform::raReadWrite,
        [this](const std::string& m) { startupErrors_ << MessageToQString(m); });
    if (auto error = LoadSettings(registry, settings_, {desktop.width(), desktop.height()}))
      startupErrors_ << MessageToQString(error->what());
    mru_.LoadFromRegistry(registry);
  } catch (const std::exception& e) {
    startupErrors_ << MessageToQString(e.what());
  }
  move(settings_.Left, settings_.Top);
  resize(std::max(200, settings_.Width), std::max(150, settings_.Height));
  RebuildMRUMenu();
}

void TMainForm::CreateMenus() {
  for (const TMenuInfo& m : MenuTable()) {
    QMenu* menu = menuBar()->addMenu(m.Design);
    menu->setObjectName(m.Name);
    menus_[m.Name] = menu;
    // A hint belongs to the item under the pointer: none is left once the menu closes.
    connect(menu, &QMenu::aboutToHide, this, [this] { statusBar()->clearMessage(); });
    for (const TCommandInfo& c : m.Items) {
      if (std::string_view(c.Name) == "-") {
        menu->addSeparator();
        continue;
      }
      QAction* a = menu->addAction(c.Design);
      a->setObjectName(c.Name);
      if (*c.Shortcut) a->setShortcut(QKeySequence(c.Shortcut));
      actions_[c.Name] = a;
      if (c.PerDocument) documentActions_.push_back(a);
    }
  }
  // The handlers of the commands built so far; the others wait for their features and
  // stay disabled.
  const std::map<QString, std::function<void()>> handlers = {
      {"FileNew", [this] { FileNewExecute(); }},
      {"FileOpen", [this] { FileOpen1Execute(); }},
      {"FileClose", [this] { FileCloseClick(); }},
      {"FileSave", [this] { FileSaveClick(); }},
      {"FileSaveAs", [this] { FileSaveAsClick(); }},
      {"FilePrint",
       [this] {
         TWindowForm* w = ActiveDocument();
         PrintMemo(w->Editor(), w->IsUntitled() ? std::string() : w->Caption(), this);
       }},
      {"FileExit", [this] { close(); }},
      {"EditUndo", [this] { ActiveDocument()->MemoSource().Undo(); }},
      {"EditRedo", [this] { ActiveDocument()->MemoSource().Redo(); }},
      {"EditCut", [this] { ActiveDocument()->MemoSource().CutToClipboard(); }},
      {"EditCopy", [this] { ActiveDocument()->MemoSource().CopyToClipboard(); }},
      {"EditPaste", [this] { ActiveDocument()->MemoSource().PasteFromClipboard(); }},
      {"EditDelete", [this] { ActiveDocument()->MemoSource().DeleteSelection(); }},
      {"EditSelectAll", [this] { ActiveDocument()->MemoSource().SelectAll(); }},
      {"SearchFind", [this] { ActiveDocument()->Search().ExecuteFindDialog(); }},
      {"SearchReplace", [this] { ActiveDocument()->Search().ExecuteReplaceDialog(); }},
      {"SearchFindAgain", [this] { ActiveDocument()->Search().FindAgain(); }},
      {"SearchSetBookmark", [this] { SearchSetBookmarkClick(); }},
      {"SearchClearBookmark", [this] { SearchClearBookmarkClick(); }},
      {"SearchGotoLineNumber", [this] { ActiveDocument()->Search().GotoLine(); }},
      {"SearchGotoBookMark", [this] { SearchGotoBookMarkClick(); }},
      {"SearchGotoFunction", [this] { sbfunctionsClick(); }},
      {"SearchGotoLabel", [this] { sblabelsClick(); }},
      {"WindowCascade", [this] { WindowCascadeClick(); }},
      {"WindowTileH", [this] { WindowTileHClick(); }},
      {"WindowTileV", [this] { WindowTileVClick(); }},
      {"HelpAbout", [this] { HelpAboutClick(); }},
      {"EditOptions", [this] { EditOptionsClick(); }},
      {"HelpZBHelp", [this] { HelpZBHelpClick(); }},
      {"HelpMediaBrowser", [this] { HelpMediaBrowserClick(); }},
      {"CompileCheckSyntax", [this] { BuildActiveWindow(settings_.CheckSwitch); }},
      {"CompileExecute", [this] { BuildActiveWindow(settings_.ExecuteSwitch); }},
      {"CompileStepThrough", [this] { BuildActiveWindow(settings_.ExecuteSwitch + "!DE"); }},
      {"CompileMakeEXE", [this] { BuildActiveWindow(settings_.EXESwitch); }},
      {"CompileMakeFinal", [this] { BuildActiveWindow(settings_.FinalSwitch); }},
  };
  for (auto& [name, action] : actions_) {
    auto h = handlers.find(name);
    if (h == handlers.end()) {
      action->setEnabled(false);
      action->setProperty("marloPending", true);
      continue;
    }
    auto handler = h->second;
    connect(action, &QAction::triggered, this, [this, handler, name = name] {
      // Per-document commands need a document even when triggered by hand.
      if (std::find(documentActions_.begin(), documentActions_.end(), actions_.at(name)) !=
              documentActions_.end() &&
          name != "FileClose" && !name.startsWith("Window") && !ActiveDocument())
        return;
      RunCommand(handler);
    });
  }
  connect(menus_["WindowMenu"], &QMenu::aboutToShow, this, [this] { RebuildWindowMenu(); });
  mruSeparator_ = menus_["FileMenu"]->addSeparator();
  mruSeparator_->setVisible(false);
}

void TMainForm::CreateToolBar() {
  toolBar_ = addToolBar("ToolBar2");
  toolBar_->setObjectName("ToolBar2");
  toolBar_->setMovable(false);
  toolBar_->setIconSize(QSize(16, 16));
  struct TImageButton {
    const char* Name;
    const char* Command;
    TToolbarImage Image;
  };
  const TImageButton images[] = {
      {"sbNew", "FileNew", TToolbarImage::New},
      {"sbOpen", "FileOpen", TToolbarImage::Open},
      {"sbSave", "FileSave", TToolbarImage::Save},
      {"sbPrint", "FilePrint", TToolbarImage::Print},
      {"-", "", TToolbarImage::New},
      {"sbcut", "EditCut", TToolbarImage::Cut},
      {"sbcopy", "EditCopy", TToolbarImage::Copy},
      {"sbPaste", "EditPaste", TToolbarImage::Paste},
  };
  for (const TImageButton& b : images) {
    if (std::string_view(b.Name) == "-") {
      toolBar_->addSeparator();
      continue;
    }
    QAction* a = actions_.at(b.Command);
    a->setIcon(ToolbarIcon(b.Image));
    toolBar_->addAction(a);
    if (QWidget* w = toolBar_->widgetForAction(a)) {
      w->setObjectName(b.Name);
      w->installEventFilter(this);
    }
  }
  for (const TFlatButton& f : kFlatButtons) {
    if (std::string_view(f.Name) == "sbCheck" || std::string_view(f.Name) == "sbfunctions")
      toolBar_->addSeparator();
    QAction* a = actions_.at(f.Command);
    // A tool button right on a toolbar draws its icon at the toolbar's icon size; in a
    // holder of its own it shows the whole bitmap.
    auto* holder = new QWidget(toolBar_);
    auto* holderLayout = new QHBoxLayout(holder);
    holderLayout->setContentsMargins(0, 0, 0, 0);
    auto* button = new QToolButton(holder);
    holderLayout->addWidget(button);
    button->setObjectName(f.Name);
    button->setAutoRaise(true);
    button->setFixedSize(92, 24);
    button->setIconSize(QSize(88, 20));
    button->setEnabled(a->isEnabled());
    // The design hint, until the language table gives its own.
    button->setToolTip(WithoutAmpersands(a->text()));
    connect(button, &QToolButton::clicked, a, &QAction::trigger);
    connect(a, &QAction::enabledChanged, button, &QToolButton::setEnabled);
    toolBar_->addWidget(holder);
    flatButtons_[f.Name] = button;
  }
}

void TMainForm::ApplyCaptions() {
  setWindowTitle(UiText("MainCaption"));
  for (const TMenuInfo& m : MenuTable()) {
    menus_[m.Name]->setTitle(UiText(m.Name));
    menus_[m.Name]->menuAction()->setStatusTip(WithoutAmpersands(UiText(m.Name)));
    for (const TCommandInfo& c : m.Items) {
      if (std::string_view(c.Name) == "-") continue;
      QAction* a = actions_.at(c.Name);
      a->setText(UiText(KeyOf(c)));
      a->setStatusTip(WithoutAmpersands(UiText(KeyOf(c))));
      a->setToolTip(WithoutAmpersands(UiText(KeyOf(c))));
    }
  }
  actions_.at("SearchGotoFunction")->setToolTip(UiText("FUNCTIONS"));
  actions_.at("SearchGotoLabel")->setToolTip(UiText("LABELS"));
  for (const TFlatButton& f : kFlatButtons) {
    QAction* a = actions_.at(f.Command);
    flatButtons_[f.Name]->setToolTip(a->toolTip());
    flatButtons_[f.Name]->setStatusTip(a->toolTip());
  }
}

void TMainForm::LoadButtonBitmaps() {
  for (const TFlatButton& f : kFlatButtons) {
    const std::string path = programFolder_ + f.Bitmap;
    try {
      platform::TFileBuffer file = platform::ReadWholeFile(path);
      QImage image;
      if (!image.loadFromData(reinterpret_cast<const uchar*>(file.data.get()),
                              static_cast<int>(file.size), "BMP"))
        throw Error("Not a bitmap: " + path);
      flatButtons_[f.Name]->setIcon(QIcon(QPixmap::fromImage(image)));
    } catch (const std::exception& e) {
      startupErrors_ << MessageToQString(e.what());
      // Without its picture the button still says what it does.
      flatButtons_[f.Name]->setText(flatButtons_[f.Name]->toolTip());
    }
  }
}

bool TMainForm::eventFilter(QObject* watched, QEvent* e) {
  if (watched == mdi_ && e->type() == QEvent::KeyPress) return true;
  // An image button shares its command with the menu item, but its hint has no "&".
  if (e->type() == QEvent::StatusTip && watched->parent() == toolBar_) {
    statusBar()->showMessage(WithoutAmpersands(static_cast<QStatusTipEvent*>(e)->tip()));
    return true;
  }
  return QMainWindow::eventFilter(watched, e);
}

void TMainForm::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (!firstActivation_) return;
  firstActivation_ = false;
  QTimer::singleShot(0, this, [this] { FirstActivation(); });
}

void TMainForm::FirstActivation() {
  // Without a window manager a new window is not made active, and an inactive one takes
  // no menu short-cuts.
  if (!isActiveWindow()) activateWindow();
  if (!startupErrors_.isEmpty()) Dialogs().Error(this, startupErrors_.join("\n\n"));
  Highlighter();
  // What a crash left is offered before anything else opens.
  OfferRecovery();
  for (const std::string& f : CommandLineFiles(commandLine_, platform::FileExists))
    RunCommand([&] { OpenDocumentWindow(f); });
  if (commandLine_.empty() && restoreSessionAtStart_) RestoreSession();
}

TLineParser* TMainForm::Highlighter() {
  if (!highlighter_) highlighter_ = std::make_unique<TMyParser>(keywordList_);
  return highlighter_.get();
}

const std::string& TMainForm::LanguageText(std::string_view key) const {
  return languageTable_.LanguageText(key);
}

QString TMainForm::ToQString(const std::string& bytes) const {
  return BytesToQString(bytes, platform::TCodePage::ForCharSet(charSet_));
}

namespace {

// The texts added to the language file since it was first written, in English for a
// language file that lacks them.
const std::pair<std::string_view, const char*> kEnglishTexts[] = {
    {"RecoveryCaption", "Recover Unsaved Work"},
    {"RecoveryIntro",
     "Marlo ended without saving these documents, but their text was kept. Choose what to do with "
     "each; what is kept for later is offered again at the next start."},
    {"RecoveryName", "Name"},
    {"RecoveryFolder", "Folder"},
    {"RecoveryLastChange", "Last Change"},
    {"RecoveryLines", "Lines"},
    {"RecoveryAction", "Action"},
    {"RecoveryRecover", "Recover"},
    {"RecoveryDiscard", "Discard"},
    {"RecoveryKeep", "Keep for Later"},
    {"RecoveryUnreadable", "unreadable"},
    {"RecoveryCannotWrite",
     "Unsaved changes cannot be kept for recovery after a crash. Editing goes on; save often."},
    {"RecoveryCannotDiscard", "This kept text cannot be removed:"},
    {"CoreStopped", "The Zorbic core was stopped before it wrote a report (exit status %1)."},
    {"CoreNoReport", "The Zorbic core ended with exit status %1 without writing a report."},
    {"RunStopCore", "Stop"},
    {"CoreStillRunning", "The Zorbic core is still running. Stop it and close Marlo?"},
    {"ErrorRunningCore", "The Zorbic core could not be started. Please check the path of the "
                         "Zorbic program in the options."},
    {"RunL1", "Waiting for the Zorbic program to finish..."},
    {"HelpFileNotFound", "The Zorbic help page cannot be found or read:"},

    {"MediaViewerCaption", "Media Viewer"},
    {"MediaBrowserCaption", "Media Browser"},
    {"MediaBrowserPreviewButton", "Preview"},
    {"MediaBrowserInsertButton", "Insert"},
    {"MediaBrowserAbsolute", "Insert Absolute Path"},
    {"OKbutton", "OK"},
    {"MediaFolderNotFound", "This folder cannot be found or read."},
    {"MediaNoMidi", "cannot be played here: the built-in player has no MIDI music. Choose a "
                    "MIDI viewer program in the options."},
    {"MediaNoSound", "no sound device was found"},
    {"MediaNoPlayer", "cannot be played here: this Marlo was built without a media player. "
                      "Choose a viewer program in the options."},

    {"DiskFileChanged", "The file has changed on disk."},
    {"DiskFileRemoved", "The file has been deleted or moved."},
    {"DiskReloadButton", "Reload"},
    {"DiskKeepMineButton", "Keep Mine"},
    {"DiskSaveButton", "Save"},
    {"DiskCloseButton", "Close"},
    {"DiskReloaded", "Reloaded: the file was changed on disk. Undo brings back the text before."},
    {"SaveOverChangedFile", "has been changed on disk since it was opened or saved. Overwrite "
                            "it with the text shown?"},
    {"DiskOverwriteButton", "Overwrite"},
    {"DiskSaveAsButton", "Save As..."},

    {"SessionFilesMissing", "Not opened again, no longer there: %1"},
    {"OptionscbRestoreSession", "Restore Last Session at Start"},
};

} // namespace

QString TMainForm::UiText(std::string_view key) const {
  const std::string& text = LanguageText(key);
  if (!text.empty()) return ToQString(text);
  for (const auto& [k, english] : kEnglishTexts)
    if (k == key) return QString::fromUtf8(english);
  return {};
}

QAction* TMainForm::Action(const QString& name) const {
  auto it = actions_.find(name);
  return it == actions_.end() ? nullptr : it->second;
}

void TMainForm::RunCommand(const std::function<void()>& command) {
  try {
    command();
  } catch (const std::exception& e) {
    Dialogs().Error(this, MessageToQString(e.what()));
  }
}

// ---- Documents -----------------------------------------------------------------------

void TMainForm::DocumentOpened() {
  ++openDocumentCount_;
  EnableDocumentCommands(true);
}

void TMainForm::DocumentClosed() {
  if (openDocumentCount_ > 0) --openDocumentCount_;
  if (openDocumentCount_ < 1) EnableDocumentCommands(false);
}

void TMainForm::EnableDocumentCommands(bool enabled) {
  for (QAction* a : documentActions_)
    a->setEnabled(enabled && !a->property("marloPending").toBool());
  UpdateBuildCommands();
}

TWindowForm* TMainForm::ActiveDocument() const {
  QMdiSubWindow* sub = mdi_->activeSubWindow();
  if (!sub) {
    // Without focus in the frame (a test, another program in front) the top window counts.
    QList<QMdiSubWindow*> list = mdi_->subWindowList(QMdiArea::StackingOrder);
    if (list.isEmpty()) return nullptr;
    sub = list.back();
  }
  return qobject_cast<TWindowForm*>(sub->widget());
}

QList<TWindowForm*> TMainForm::Documents() const {
  QList<TWindowForm*> list;
  for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder))
    if (auto* w = qobject_cast<TWindowForm*>(sub->widget()); w && !w->IsClosed()) list << w;
  return list;
}

TWindowForm* TMainForm::OpenDocumentWindow(const std::string& fileName) {
  if (openDocumentCount_ >= kMaxDocuments) {
    Dialogs().Error(this, UiText("TooManyWindows"));
    return nullptr;
  }
  // A window's caption is the absolute name of its file, so that a later change of the
  // current folder cannot send a save elsewhere. The untitled name stays as it is.
  std::string name = fileName;
  if (name != LanguageText("UntitledWindow")) name = AbsoluteFileName(name, CurrentFolder());

  auto* window = new TWindowForm(*this);
  auto* sub = mdi_->addSubWindow(window);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  window->SetCaption(name);
  ApplyEditorSettings(*window);
  if (platform::FileExists(name)) {
    try {
      window->LoadFile(name);
    } catch (...) {
      // No window is bound to a file it could not read: its next save would destroy it.
      window->Discard();
      delete sub;
      throw;
    }
  }
  TCustomMemoSource& source = window->MemoSource();
  for (TMemoCodeTemplate& t :
       LoadUserTemplates(programFolder_ + "Templates", [](const std::string& error) {
         std::fprintf(stderr, "marlo: template skipped: %s\n", error.c_str());
       }))
    source.CodeTemplates().push_back(std::move(t));
  PlaceInCascade(sub, openDocumentCount_ - 1);
  sub->show();
  window->Editor().setFocus();
  if (window->LoadedUpToNul())
    Dialogs().Message(this, ToQString("\"" + name + "\" ") + UiText("FileHasNulByte"));
  return window;
}

void TMainForm::ApplyEditorSettings(TWindowForm& window) {
  TCodeMemo& dm = window.Editor();
  TEditorSwitches sw = EditorSwitches(settings_);
  dm.SetOption(moColorSyntax, sw.ColorSyntax);
  dm.SetOption(moDrawGutter, sw.DrawGutter);
  dm.SetOption(moLineNumbers, sw.LineNumbers);
  TCustomMemoSource& source = window.MemoSource();
  source.SetOptions(ApplyTextOptions(settings_, source.Options()));
  dm.LineHighlight().Visible = sw.HighlightLine;
  ApplyStyleSettings(settings_, dm.TextStyles(), dm.MemoColors());
  dm.AppearanceChanged();
}

void TMainForm::SearchClearBookmarkClick() {
  TCustomMemoSource& source = ActiveDocument()->MemoSource();
  int n = source.BookmarkAtLine(source.CaretY());
  if (n >= 0) source.ClearBookmark(n);
}

Tsetbmdlg& TMainForm::Setbmdlg() {
  if (!setbmdlg_) setbmdlg_ = new Tsetbmdlg(*this);
  return *setbmdlg_;
}

void TMainForm::SearchSetBookmarkClick() {
  TWindowForm* window = ActiveDocument();
  int n = Tsetbmdlg::BookmarkOfResult(Setbmdlg().exec());
  RestoreActivation(this);
  if (n > 0 && window && Documents().contains(window)) window->MemoSource().SetBookmark(n);
}

void TMainForm::SearchGotoBookMarkClick() {
  TWindowForm* window = ActiveDocument();
  Tsetbmdlg& dialog = Setbmdlg();
  dialog.setWindowTitle(UiText("GotoBookMark"));
  int n = Tsetbmdlg::BookmarkOfResult(dialog.exec());
  RestoreActivation(this);
  // Set Bookmark shows the box with the caption left here.
  dialog.setWindowTitle(UiText("SetBookmarkatCursor"));
  if (n > 0 && window && Documents().contains(window)) {
    window->MemoSource().GotoBookmark(n);
    window->Editor().ScrollToCaret();
  }
}

void TMainForm::sbfunctionsClick() {
  ShowList(true);
}

void TMainForm::sblabelsClick() {
  ShowList(false);
}

void TMainForm::ShowList(bool functions) {
  TWindowForm* window = ActiveDocument();
  if (!window) return;
  TCustomMemoSource& source = window->MemoSource();
  std::vector<TListEntry> entries =
      functions ? ScanFunctions(source, LanguageText("FUNCTION")) : ScanLabels(source);
  if (entries.empty()) return;
  // Under the toolbar button, or under the menu bar when it has none.
  QWidget* button =
      toolBar_->widgetForAction(Action(functions ? "SearchGotoFunction" : "SearchGotoLabel"));
  QPoint at = button && button->isVisible() ? button->mapToGlobal(QPoint(0, button->height()))
                                            : mapToGlobal(QPoint(0, menuBar()->height()));
  Tlistdlg list(window->Editor(), std::move(entries),
                UiText(functions ? "Declared Functions" : "DeclaredLabels"), font().family(), this);
  list.setObjectName(functions ? "FunctionList" : "LabelList");
  list.PlaceAt(at);
  list.exec();
  RestoreActivation(this);
}

void TMainForm::HelpAboutClick() {
  aboutBox_->exec();
  RestoreActivation(this);
}

// ---- Window arrangement -----------------------------------------------------------------

void TMainForm::WindowTileHClick() {
  TileWindows(true);
}

void TMainForm::WindowTileVClick() {
  TileWindows(false);
}

// A window of the cascade takes a good part of the frame, as the design size of a document
// did, and steps down from the top left by its place, always whole in view.
void TMainForm::PlaceInCascade(QMdiSubWindow* sub, int place) {
  const QSize area = mdi_->viewport()->size();
  const QSize size(std::max(320, std::min(area.width() * 4 / 5, 800)),
                   std::max(200, std::min(area.height() * 4 / 5, 560)));
  const int step = std::max(20, sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, sub));
  const int steps = 1 + std::max(0, std::min((area.width() - size.width()) / step,
                                             (area.height() - size.height()) / step));
  place %= steps;
  sub->setGeometry(place * step, place * step, size.width(), size.height());
}

void TMainForm::WindowCascadeClick() {
  int place = 0;
  for (QMdiSubWindow* w : mdi_->subWindowList(QMdiArea::CreationOrder)) {
    if (w->isMinimized() || !w->isVisible()) continue;
    if (w->isMaximized()) w->showNormal();
    PlaceInCascade(w, place++);
    w->raise();
  }
  if (QMdiSubWindow* active = mdi_->activeSubWindow()) active->raise();
}

// Horizontal tiling stacks the windows one above the other, each the frame's full width;
// vertical tiling sets them side by side.
void TMainForm::TileWindows(bool horizontal) {
  QList<QMdiSubWindow*> windows;
  for (QMdiSubWindow* w : mdi_->subWindowList(QMdiArea::CreationOrder))
    if (!w->isMinimized() && w->isVisible()) windows << w;
  if (windows.isEmpty()) return;
  const QRect area = mdi_->viewport()->rect();
  const int n = static_cast<int>(windows.size());
  for (int i = 0; i < n; ++i) {
    QMdiSubWindow* w = windows[i];
    if (w->isMaximized()) w->showNormal();
    if (horizontal) {
      int top = area.height() * i / n, bottom = area.height() * (i + 1) / n;
      w->setGeometry(0, top, area.width(), bottom - top);
    } else {
      int left = area.width() * i / n, right = area.width() * (i + 1) / n;
      w->setGeometry(left, 0, right - left, area.height());
    }
  }
}

void TMainForm::RebuildWindowMenu() {
  QMenu* menu = menus_["WindowMenu"];
  for (QAction* a : windowListActions_) {
    menu->removeAction(a);
    a->deleteLater();
  }
  windowListActions_.clear();
  QList<QMdiSubWindow*> list = mdi_->subWindowList(QMdiArea::CreationOrder);
  if (list.isEmpty()) return;
  windowListActions_ << menu->addSeparator();
  int n = 0;
  for (QMdiSubWindow* sub : list) {
    QString title = sub->windowTitle();
    title.replace('&', "&&");
    QAction* a =
        menu->addAction(n < 9 ? QString("&%1 %2").arg(QString::number(n + 1), title) : title);
    ++n;
    a->setCheckable(true);
    a->setChecked(sub == mdi_->activeSubWindow());
    connect(a, &QAction::triggered, this, [this, sub] { mdi_->setActiveSubWindow(sub); });
    windowListActions_ << a;
  }
}

// ---- Recent files -----------------------------------------------------------------------

QString TMainForm::ShortenForMenu(const QString& fileName) const {
  const QFontMetrics fm(menus_.at("FileMenu")->font());
  constexpr int kWidth = 200;
  if (fm.horizontalAdvance(fileName) <= kWidth) return fileName;
  // The file's own name stays whole; the folder gives way from its end.
  const qsizetype slash = fileName.lastIndexOf('/');
  const QString tail = QString(QChar(0x2026)) + fileName.mid(slash);
  QString folder = fileName.left(slash);
  while (!folder.isEmpty() && fm.horizontalAdvance(folder + tail) > kWidth) folder.chop(1);
  return folder + tail;
}

void TMainForm::RebuildMRUMenu() {
  QMenu* menu = menus_.count("FileMenu") ? menus_["FileMenu"] : nullptr;
  if (!menu) return;
  for (QAction* a : mruActions_) {
    // Deleted later: the list may be rebuilt by one of its own entries.
    menu->removeAction(a);
    a->setObjectName(QString());
    a->deleteLater();
  }
  mruActions_.clear();
  mruSeparator_->setVisible(!mru_.Items().empty());
  int n = 0;
  for (const std::string& file : mru_.Items()) {
    QString shown = ShortenForMenu(PathToQString(file));
    // The caption's number, then the name with its own "&" shown as such.
    QAction* a = menu->addAction(QString::fromStdString(TMRUFileList::Caption(n++, "")) +
                                 shown.replace('&', "&&"));
    a->setObjectName(QString("MRUItem%1").arg(n - 1));
    a->setStatusTip(PathToQString(file));
    connect(a, &QAction::triggered, this,
            [this, file] { RunCommand([&] { mrulistMRUItemClick(file); }); });
    mruActions_ << a;
  }
}

void TMainForm::mrulistMRUItemClick(const std::string& fileName) {
  OpenDocumentWindow(fileName);
}

// ---- Shut-down and drops ----------------------------------------------------------------

void TMainForm::closeEvent(QCloseEvent* e) {
  if (CoreRunning() && !Dialogs().Confirm(this, UiText("CoreStillRunning"))) {
    e->ignore();
    return;
  }
  // Every document answers its close question first; one refusal keeps every window
  // open, those already answered included.
  const QList<TWindowForm*> documents = Documents();
  for (TWindowForm* w : documents) {
    if (!w->CloseQuery()) {
      e->ignore();
      return;
    }
  }
  // Taken before the windows go, after the questions (a Save As may have named one).
  const TSessionList session = CurrentSession();
  for (TWindowForm* w : documents) w->CloseAnswered();
  if (CoreRunning()) {
    AppRunner1().OnTerminated = nullptr;
    AppRunner1().Cancel();
  }
  SaveSettingsNow();
  SaveSession(session);
  e->accept();
}

void TMainForm::SaveSettingsNow() {
  settings_.Left = x();
  settings_.Top = y();
  settings_.Width = width();
  settings_.Height = height();
  RunCommand([this] {
    platform::TRegistry registry;
    SaveSettings(registry, settings_);
    mru_.SaveToRegistry(registry);
    registry.Flush();
  });
}

void TMainForm::dragEnterEvent(QDragEnterEvent* e) {
  if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* e) {
  QStringList files;
  for (const QUrl& url : e->mimeData()->urls())
    if (url.isLocalFile()) files << url.toLocalFile();
  e->acceptProposedAction();
  OpenDroppedFiles(files);
}

void TMainForm::OpenDroppedFiles(const QStringList& fileNames) {
  for (const QString& f : fileNames) RunCommand([&] { OpenDocumentWindow(QStringToPath(f)); });
}

} // namespace marlo
