#pragma once
// Helpers for driving the main window in tests: dialogs the test answers, scratch
// folders, and a main window over the program's own data files.
#include "ui/app/app_dialogs.h"
#include "ui/app/main_form.h"
#include "ui/app/window_form.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <deque>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>

namespace marlo::test {

// The journals of documents a test leaves modified go to a scratch folder of the test's
// own, never to the user's. Made on first use, by whichever user the test runs as.
inline const bool kScratchRecoveryFolder = [] {
  static const struct TFolder {
    QString Path = QDir::temp().filePath(
        QString("marlo-test-recovery-%1").arg(QCoreApplication::applicationPid()));
    ~TFolder() { QDir(Path).removeRecursively(); }
  } folder;
  qputenv("MARLO_RECOVERY_DIR", folder.Path.toLocal8Bit());
  return true;
}();

// Records every message and answers every question from queues the test fills. An
// unexpected question fails the test rather than blocking it.
class TFakeDialogs : public TAppDialogs {
public:
  QStringList Errors, Messages, Questions, Confirms;
  std::deque<TAnswer> Answers;
  std::deque<bool> ConfirmAnswers;
  QStringList Choices;
  QList<QStringList> ChoiceButtons;
  std::deque<int> ChoiceAnswers; // the index of the button pressed
  std::deque<QString> OpenNames, SaveNames;
  QList<TFileDialogSetup> SaveSpecs;
  QList<TFileDialogSetup> OpenSpecs;
  std::optional<QColor> ColorAnswer;
  QList<QColor> ColorStarts;
  std::deque<std::optional<QFont>> FontAnswers;
  QList<QFont> FontStarts;
  std::deque<QString> FolderNames;
  QStringList FolderTitles;
  std::vector<std::vector<TRecoveryRow>> RecoveryOffers;
  std::deque<std::vector<TRecoveryChoice>> RecoveryAnswers; // none: keep them all

  std::vector<TRecoveryChoice> Recovery(QWidget*, const std::vector<TRecoveryRow>& rows,
                                        const TRecoveryDlg::TTexts&) override {
    RecoveryOffers.push_back(rows);
    return Pop(RecoveryAnswers, std::vector<TRecoveryChoice>(rows.size(), TRecoveryChoice::Keep));
  }
  void Error(QWidget*, const QString& text) override { Errors << text; }
  void Message(QWidget*, const QString& text) override { Messages << text; }
  TAnswer Question(QWidget*, const QString& text) override {
    Questions << text;
    if (Answers.empty()) qWarning("unexpected question: %s", qPrintable(text));
    return Pop(Answers, Cancel);
  }
  bool Confirm(QWidget*, const QString& text) override {
    Confirms << text;
    return Pop(ConfirmAnswers, false);
  }
  int Choose(QWidget*, const QString& text, const QStringList& buttons) override {
    Choices << text;
    ChoiceButtons << buttons;
    if (ChoiceAnswers.empty()) qWarning("unexpected question: %s", qPrintable(text));
    return Pop(ChoiceAnswers, static_cast<int>(buttons.size()) - 1);
  }
  QString OpenFile(QWidget*, const TFileDialogSetup& setup) override {
    OpenSpecs << setup;
    return Pop(OpenNames);
  }
  QString SaveFile(QWidget*, const TFileDialogSetup& setup) override {
    SaveSpecs << setup;
    return Pop(SaveNames);
  }
  std::optional<QColor> Color(QWidget*, QList<QColor>&, const QColor& initial) override {
    ColorStarts << initial;
    return ColorAnswer;
  }
  std::optional<QFont> Font(QWidget*, const QFont& initial) override {
    FontStarts << initial;
    return Pop(FontAnswers, std::optional<QFont>());
  }
  QString Folder(QWidget*, const QString& title, const QString&) override {
    FolderTitles << title;
    return Pop(FolderNames);
  }

private:
  template <class T> static T Pop(std::deque<T>& q, T none = {}) {
    if (q.empty()) return none;
    T a = q.front();
    q.pop_front();
    return a;
  }
};

inline std::string DataFolder() {
  return MARLO_SOURCE_DIR "/data/";
}

// A main window over the program's data files, with dialogs the test answers.
struct TAppFixture {
  TFakeDialogs* Dialogs;
  std::unique_ptr<TMainForm> Main;

  explicit TAppFixture(const std::string& programFolder = DataFolder()) {
    auto dialogs = std::make_unique<TFakeDialogs>();
    Dialogs = dialogs.get();
    Main = std::make_unique<TMainForm>(std::move(dialogs), programFolder);
  }
  TMainForm& M() { return *Main; }
};

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline std::string Path(const QTemporaryDir& dir, const char* name) {
  return QDir(dir.path()).filePath(name).toStdString();
}

inline bool Enabled(TMainForm& m, const QString& action) {
  return m.Action(action)->isEnabled();
}

// Writes a file and opens it in a document window.
inline TWindowForm* OpenWith(TAppFixture& f, const std::string& file, const std::string& bytes) {
  WriteBytes(file, bytes);
  return f.M().OpenDocumentWindow(file);
}

} // namespace marlo::test
