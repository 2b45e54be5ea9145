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

// Records every message and answers every question from queues the test fills. An
// unexpected question fails the test rather than blocking it.
class TFakeDialogs : public TAppDialogs {
public:
  QStringList Errors, Messages, Questions, Confirms;
  std::deque<TAnswer> Answers;
  std::deque<bool> ConfirmAnswers;
  std::deque<QString> OpenNames, SaveNames;
  QList<TFileDialogSetup> SaveSpecs;
  QList<TFileDialogSetup> OpenSpecs;
  std::optional<QColor> ColorAnswer;
  QList<QColor> ColorStarts;
  std::deque<std::optional<QFont>> FontAnswers;
  QList<QFont> FontStarts;
  std::deque<QString> FolderNames;
  QStringList FolderTitles;

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
