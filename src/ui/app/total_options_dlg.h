#pragma once
// Edit Options: every user setting on four pages (editor, syntax colours, the Zorbic
// programs, media viewers), with live samples of the editor font and the four styles.
// The dialog edits its own controls only; the settings change when the caller takes
// `Edited` after OK.
#include "core/shell/settings.h"

#include <QDialog>
#include <QFrame>

#include <functional>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTabWidget;

namespace marlo {

class TMainForm;

// A colour swatch; a click asks for another colour.
class TColorPanel : public QFrame {
  Q_OBJECT

public:
  explicit TColorPanel(QWidget* parent = nullptr);
  TColor Color() const { return color_; }
  void SetColor(TColor color);

signals:
  void clicked();

protected:
  void mouseReleaseEvent(QMouseEvent* e) override;

private:
  TColor color_ = clWhite;
};

class TTotalOptionsDlg : public QDialog {
  Q_OBJECT

public:
  // Filled from the main window's settings.
  explicit TTotalOptionsDlg(TMainForm& main);

  // `base` with every value the controls edit taken from them.
  TSettings Edited(const TSettings& base) const;

  // The font dialog, then the sample and the four style samples follow the chosen font.
  void cmSetFontClick();
  bool Loading() const { return loading_; }

private:
  struct TStyleRow;
  struct TMediaRow;

  void CreateEditorTab();
  void CreateSyntaxTab();
  void CreateZBTab();
  void CreateMediaTab();
  void LoadControls(const TSettings& s);
  void ShowEditorFont();
  void ShowSample(const TStyleRow& row);
  // Asks for a colour starting at the panel's; true when one was chosen.
  bool ChooseColor(TColorPanel* panel);
  void BrowseProgram(QLineEdit* edit, const QString& title);
  void BrowseHelpFile();
  void BrowseFolder();
  void MediaPathEdited(const TMediaRow& row);
  // A label captioned from the language key; a check box from "Options" + its name.
  QLabel* NamedLabel(const char* name, const char* key);
  QCheckBox* NamedCheck(const char* name);
  QLineEdit* NamedEdit(const char* name);
  QWidget* Browsable(QLineEdit* edit, const std::function<void()>& browse);

  TMainForm& main_;
  bool loading_ = false;
  TTextFont font_;
  QTabWidget* PageControl1 = nullptr;
  QLabel* displayeditorfont = nullptr;
  TColorPanel* fontcolor = nullptr;
  TColorPanel* defaultbackcolor = nullptr;
  struct TStyleRow {
    QLabel* Sample = nullptr;
    QCheckBox* Box[4] = {};
    TColorPanel* Text = nullptr;
    TColorPanel* Back = nullptr;
  };
  std::vector<TStyleRow> styles_;
  struct TMediaRow {
    QRadioButton* Internal = nullptr;
    QRadioButton* External = nullptr;
    QLineEdit* Path = nullptr;
  };
  std::vector<TMediaRow> media_;
};

} // namespace marlo
