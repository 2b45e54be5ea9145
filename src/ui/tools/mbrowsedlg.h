#pragma once
// The media browser: the bitmaps, videos, music, sounds and 3-D models of one folder,
// a preview of the chosen file, and its name inserted in double quotes at the caret of
// the active document (relative to the document's folder unless asked otherwise).
#include <QDialog>
#include <QPointer>

#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace marlo {

class TMainForm;
class TWindowForm;

class TmBrowseDlg : public QDialog {
  Q_OBJECT

public:
  // The modal results of Insert and of OK.
  static constexpr int kInsertResult = 6;
  static constexpr int kCloseResult = 2;

  // The folder starts at the active document's, or at Source Path when the active
  // document is untitled or there is none.
  explicit TmBrowseDlg(TMainForm& main);

  // The folder field's text, as a path.
  std::string Folder() const;
  void SetFolder(const std::string& folder);
  // Empties the list and fills it from the folder field.
  void FillList();
  // The selected file's path: the folder, "/" and its name; empty with none selected.
  std::string SelectedPath() const;

  void filetreeClick();
  void cmPreviewClick();
  void cmInsertClick();
  // After kInsertResult: the name, in double quotes, at the caret of the document that
  // was active when the browser opened, as one undo step.
  void InsertIntoDocument();
  // What InsertIntoDocument inserts, without the quotes.
  std::string InsertedName() const;

  QLineEdit* diredit() const { return diredit_; }
  QListWidget* filetree() const { return filetree_; }
  QPushButton* cmPreview() const { return cmPreview_; }
  QPushButton* cmInsert() const { return cmInsert_; }
  QPushButton* cmOK() const { return cmOK_; }
  QCheckBox* cbAbsolute() const { return cbAbsolute_; }
  // Says when the folder cannot be found or read; hidden otherwise.
  QLabel* FolderMessage() const { return folderMessage_; }

protected:
  void showEvent(QShowEvent* e) override;

private:
  bool HasTitledDocument() const;

  TMainForm& main_;
  QPointer<TWindowForm> document_;
  QLineEdit* diredit_;
  QListWidget* filetree_;
  QPushButton *cmPreview_, *cmInsert_, *cmOK_;
  QCheckBox* cbAbsolute_;
  QLabel* folderMessage_;
};

} // namespace marlo
