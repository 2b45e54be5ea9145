#include "ui/editor/search_dialog.h"

#include "ui/editor/code_history_editor.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace marlo {

namespace {

QGroupBox* Group(const char* name, const QString& title, QWidget* parent) {
  auto* g = new QGroupBox(title, parent);
  g->setObjectName(name);
  new QVBoxLayout(g);
  return g;
}

template <class T> T* Add(QGroupBox* group, const char* name, const QString& text) {
  auto* w = new T(text, group);
  w->setObjectName(name);
  group->layout()->addWidget(w);
  return w;
}

} // namespace

TSearchDialog::TSearchDialog(bool replace, const platform::TCodePage& codePage, QWidget* parent)
    : QDialog(parent), replace_(replace) {
  setObjectName(replace ? "ReplDialog" : "SrchDialog");
  setWindowTitle(replace ? "Replace Text" : "Find Text");
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);

  pageControl_ = new QTabWidget(this);
  pageControl_->setObjectName("PageControl");
  auto* page = new QWidget;
  page->setObjectName("EditorFindPage");
  pageControl_->addTab(page, "Find");
  // One page: the search over files has none yet, so no tab shows.
  pageControl_->setTabBarAutoHide(true);

  auto* grid = new QGridLayout(page);
  auto* findLabel = new QLabel("&Text to find:", page);
  findLabel->setObjectName("LTexttFind");
  searText_ = new TCodeHistoryEditor(codePage, page);
  searText_->setObjectName("SearText");
  searText_->setMinimumWidth(321);
  findLabel->setBuddy(searText_);
  grid->addWidget(findLabel, 0, 0);
  grid->addWidget(searText_, 0, 1);
  if (replace) {
    auto* replLabel = new QLabel("&Replace with:", page);
    replLabel->setObjectName("LReplWith");
    replText_ = new TCodeHistoryEditor(codePage, page);
    replText_->setObjectName("ReplText");
    replLabel->setBuddy(replText_);
    grid->addWidget(replLabel, 1, 0);
    grid->addWidget(replText_, 1, 1);
  }

  auto* boxes = new QGridLayout;
  QGroupBox* optionsGroup = Group("OptionsGroup", "Options", page);
  caseSens_ = Add<QCheckBox>(optionsGroup, "CaseSens", "&Case sensitive");
  wholeWord_ = Add<QCheckBox>(optionsGroup, "WholeWord", "&Whole words only");
  regExpr_ = Add<QCheckBox>(optionsGroup, "RegExpr", "Regular e&xpressions");
  if (replace) promptRepl_ = Add<QCheckBox>(optionsGroup, "PromptRepl", "&Prompt on replace");
  QGroupBox* directionGroup = Group("DirectionGroup", "Direction", page);
  dirForward_ = Add<QRadioButton>(directionGroup, "dirForward", "Forwar&d");
  dirBackward_ = Add<QRadioButton>(directionGroup, "dirBackward", "&Backward");
  QGroupBox* scopeGroup = Group("ScopeGroup", "Scope", page);
  scopeGlobal_ = Add<QRadioButton>(scopeGroup, "ScopeGlobal", "&Global");
  scopeSelected_ = Add<QRadioButton>(scopeGroup, "ScopeSelected", "&Selected text");
  QGroupBox* originGroup = Group("OriginGroup", "Origin", page);
  originCursor_ = Add<QRadioButton>(originGroup, "OriginCursor", "&From cursor");
  originEntire_ = Add<QRadioButton>(originGroup, "OriginEntire", "&Entire scope");
  for (QGroupBox* g : {optionsGroup, directionGroup, scopeGroup, originGroup})
    static_cast<QVBoxLayout*>(g->layout())->addStretch();
  boxes->addWidget(optionsGroup, 0, 0);
  boxes->addWidget(directionGroup, 0, 1);
  boxes->addWidget(scopeGroup, 1, 0);
  boxes->addWidget(originGroup, 1, 1);
  grid->addLayout(boxes, replace ? 2 : 1, 0, 1, 2);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  okBut_ = new QPushButton("OK", this);
  okBut_->setObjectName("OKBut");
  okBut_->setDefault(true);
  buttons->addWidget(okBut_);
  if (replace) {
    replBut_ = new QPushButton("Replace &All", this);
    replBut_->setObjectName("ReplBut");
    buttons->addWidget(replBut_);
    connect(replBut_, &QPushButton::clicked, this, [this] { ReplButClick(); });
  }
  cancelBut_ = new QPushButton("Cancel", this);
  cancelBut_->setObjectName("CancelBut");
  buttons->addWidget(cancelBut_);
  helpBut_ = new QPushButton("&Help", this);
  helpBut_->setObjectName("HelpBut");
  helpBut_->setVisible(false);
  buttons->addWidget(helpBut_);
  connect(okBut_, &QPushButton::clicked, this, [this] { OKButClick(); });
  connect(cancelBut_, &QPushButton::clicked, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pageControl_);
  layout->addLayout(buttons);
  FormCreate();
  setFixedSize(sizeHint());
  searText_->setFocus();
}

void TSearchDialog::FormCreate() {
  options_ = SharedSearchOptions();
  searText_->SetTextBytes(options_.TextToFind);
  if (replText_) replText_->SetTextBytes(options_.ReplaceWith);
  caseSens_->setChecked(options_.CaseSensitive);
  wholeWord_->setChecked(options_.WholeWordsOnly);
  regExpr_->setChecked(options_.RegularExpr);
  if (promptRepl_) promptRepl_->setChecked(options_.PromptOnReplace);
  (options_.Direction == TSearchDirection::sdBackward ? dirBackward_ : dirForward_)
      ->setChecked(true);
  (options_.Scope == TSearchScope::ssSelectedText ? scopeSelected_ : scopeGlobal_)
      ->setChecked(true);
  (options_.Origin == TSearchOrigin::soEntireScope ? originEntire_ : originCursor_)
      ->setChecked(true);
}

void TSearchDialog::ReadControls() {
  options_.TextToFind = searText_->TextBytes();
  if (replText_) options_.ReplaceWith = replText_->TextBytes();
  options_.CaseSensitive = caseSens_->isChecked();
  options_.WholeWordsOnly = wholeWord_->isChecked();
  options_.RegularExpr = regExpr_->isChecked();
  if (promptRepl_) options_.PromptOnReplace = promptRepl_->isChecked();
  options_.Direction =
      dirBackward_->isChecked() ? TSearchDirection::sdBackward : TSearchDirection::sdForward;
  options_.Scope =
      scopeSelected_->isChecked() ? TSearchScope::ssSelectedText : TSearchScope::ssGlobal;
  options_.Origin =
      originEntire_->isChecked() ? TSearchOrigin::soEntireScope : TSearchOrigin::soFromCursor;
}

void TSearchDialog::OKButClick() {
  searText_->AddToHistory();
  if (replText_) replText_->AddToHistory();
  ReadControls();
  if (replace_) options_.ReplaceAll = false;
  SharedSearchOptions() = options_;
  searText_->SaveHistory();
  if (replText_) replText_->SaveHistory();
  accept();
}

void TSearchDialog::ReplButClick() {
  // Every text box commits what it holds, as when the focus leaves it.
  searText_->AddToHistory();
  replText_->AddToHistory();
  ReadControls();
  options_.ReplaceAll = true;
  SharedSearchOptions() = options_;
  searText_->SaveHistory();
  replText_->SaveHistory();
  done(kResultAll);
}

} // namespace marlo
