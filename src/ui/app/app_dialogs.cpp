#include "ui/app/app_dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QMessageBox>
#include <QPushButton>

namespace marlo {

void TAppDialogs::Error(QWidget* parent, const QString& text) {
  QMessageBox::critical(parent, QApplication::applicationName(), text, QMessageBox::Ok);
  RestoreActivation(parent);
}

void TAppDialogs::Message(QWidget* parent, const QString& text) {
  QMessageBox::information(parent, QApplication::applicationName(), text, QMessageBox::Ok);
  RestoreActivation(parent);
}

TAppDialogs::TAnswer TAppDialogs::Question(QWidget* parent, const QString& text) {
  const auto answer = QMessageBox::question(
      parent, QApplication::applicationName(), text,
      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
  RestoreActivation(parent);
  switch (answer) {
  case QMessageBox::Yes:
    return Yes;
  case QMessageBox::No:
    return No;
  default:
    return Cancel;
  }
}

bool TAppDialogs::Confirm(QWidget* parent, const QString& text) {
  const bool yes = QMessageBox::question(parent, QApplication::applicationName(), text,
                                         QMessageBox::Yes | QMessageBox::No,
                                         QMessageBox::No) == QMessageBox::Yes;
  RestoreActivation(parent);
  return yes;
}

int TAppDialogs::Choose(QWidget* parent, const QString& text, const QStringList& buttons) {
  QMessageBox box(QMessageBox::Question, QApplication::applicationName(), text,
                  QMessageBox::NoButton, parent);
  QList<QAbstractButton*> added;
  for (int i = 0; i < buttons.size(); ++i)
    added << box.addButton(buttons[i], i + 1 < buttons.size() ? QMessageBox::AcceptRole
                                                              : QMessageBox::RejectRole);
  if (!added.isEmpty()) {
    box.setDefaultButton(static_cast<QPushButton*>(added.back()));
    box.setEscapeButton(added.back());
  }
  box.exec();
  RestoreActivation(parent);
  const auto chosen = added.indexOf(box.clickedButton());
  return chosen < 0 ? static_cast<int>(buttons.size()) - 1 : static_cast<int>(chosen);
}

namespace {

QString RunFileDialog(QWidget* parent, const TFileDialogSetup& setup, bool save) {
  QFileDialog dialog(parent, setup.Title, setup.Folder);
  dialog.setNameFilters(setup.Filters);
  dialog.setDefaultSuffix(setup.DefaultSuffix);
  dialog.setOption(QFileDialog::ReadOnly, false);
  if (save) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (setup.SuffixOfFilter)
      QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& f) {
        dialog.setDefaultSuffix(setup.SuffixOfFilter(int(setup.Filters.indexOf(f)) + 1));
      });
  } else {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
  }
  if (!setup.FileName.isEmpty()) dialog.selectFile(setup.FileName);
  const bool accepted = dialog.exec() == QDialog::Accepted;
  RestoreActivation(parent);
  if (!accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

} // namespace

QString TAppDialogs::OpenFile(QWidget* parent, const TFileDialogSetup& setup) {
  return RunFileDialog(parent, setup, false);
}

QString TAppDialogs::SaveFile(QWidget* parent, const TFileDialogSetup& setup) {
  return RunFileDialog(parent, setup, true);
}

std::optional<QColor> TAppDialogs::Color(QWidget* parent, QList<QColor>& customColors,
                                         const QColor& initial) {
  for (int i = 0; i < QColorDialog::customCount(); ++i)
    QColorDialog::setCustomColor(i, i < customColors.size() ? customColors[i] : QColor(Qt::white));
  QColor chosen =
      QColorDialog::getColor(initial, parent, QString(), QColorDialog::DontUseNativeDialog);
  RestoreActivation(parent);
  customColors.clear();
  for (int i = 0; i < QColorDialog::customCount(); ++i)
    customColors.append(QColorDialog::customColor(i));
  if (!chosen.isValid()) return std::nullopt;
  return chosen;
}

std::optional<QFont> TAppDialogs::Font(QWidget* parent, const QFont& initial) {
  // Made only when asked for: listing the fonts takes a while.
  QFontDialog dialog(parent);
  // The families are listed again only when a font is set: the filter goes first.
  dialog.setOptions(QFontDialog::MonospacedFonts | QFontDialog::DontUseNativeDialog);
  // A family that is not installed ("Courier New") starts at the one drawn instead, in
  // its own style's name, which the dialog's style list knows.
  QFont start = initial;
  const QFontInfo drawn(initial);
  start.setFamily(drawn.family());
  start.setStyleName(drawn.styleName());
  dialog.setCurrentFont(start);
  const bool accepted = dialog.exec() == QDialog::Accepted;
  RestoreActivation(parent);
  if (!accepted) return std::nullopt;
  return dialog.selectedFont();
}

QString TAppDialogs::Folder(QWidget* parent, const QString& title, const QString& folder) {
  QString chosen =
      QFileDialog::getExistingDirectory(parent, title, folder, QFileDialog::ShowDirsOnly);
  RestoreActivation(parent);
  return chosen;
}

std::vector<TRecoveryChoice> TAppDialogs::Recovery(QWidget* parent,
                                                   const std::vector<TRecoveryRow>& rows,
                                                   const TRecoveryDlg::TTexts& text) {
  TRecoveryDlg dialog(rows, text, parent);
  const bool ok = dialog.exec() == QDialog::Accepted;
  RestoreActivation(parent);
  if (ok) return dialog.Choices();
  return std::vector<TRecoveryChoice>(rows.size(), TRecoveryChoice::Keep);
}

} // namespace marlo
