// Makes a journal for the command-line tests and the fuzz seeds: loads TEXTFILE into a
// model, starts a journal of it in FOLDER with CAPTION and FORMAT (windows, unix, mac),
// types EDITS at the end of the first line, prints the journal's id and keeps the file. With
// --hold it keeps the journal open (live) until its standard input ends.
// usage: make_journal [--hold] FOLDER CAPTION FORMAT TEXTFILE [EDITS]
#include "core/platform/file_system.h"
#include "core/text/memo_source.h"
#include "ui/recovery/journal.h"

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
  using namespace marlo;
  bool hold = argc > 1 && std::strcmp(argv[1], "--hold") == 0;
  if (hold) --argc, ++argv;
  if (argc < 5 || argc > 6) {
    std::cerr << "usage: make_journal [--hold] FOLDER CAPTION FORMAT TEXTFILE [EDITS]\n";
    return 2;
  }
  try {
    TMemoSource model;
    model.LoadFromFile(argv[4]);
    recovery::TJournalState state;
    state.Caption = argv[2];
    state.Untitled = state.Caption.find('/') == std::string::npos;
    const std::string format = argv[3];
    state.OutFormat = format == "unix" ? ofUnix : format == "mac" ? ofMac : ofWindows;
    recovery::TJournalWriter writer(argv[1], model, state);
    if (argc == 6) {
      model.MoveCaretToLineEnd();
      for (const char* c = argv[5]; *c; ++c) *c == '|' ? model.InsertNewLine() : model.TypeChar(*c);
    }
    state.CaretLine = model.CaretY();
    state.CaretColumn = model.CaretX();
    writer.SetState(state);
    writer.Flush(true);
    std::cout << writer.Id() << std::endl;
    if (hold)
      while (std::getchar() != EOF) {
      }
  } catch (const std::exception& e) {
    std::cerr << "make_journal: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
