// Drives a document with arbitrary sequences of editing commands, as a user at the keyboard
// would, and checks that the model stays consistent: the caret stays inside the text, the
// selection and the bookmarks stay ordered, lines never hold line breaks, a read-only document
// does not change, and undoing everything leads back to the starting text (redoing everything
// to the final one).
//
// Input: a starting text, tab stops and indent, two bytes of options, then one byte per
// command, some of which take one or more argument bytes.
#include "../bench/gen_source.h"
#include "core/text/clipboard.h"
#include "core/text/memo_source.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using namespace marlo;

void Require(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "fuzz_key_sequence: %s\n", what);
    std::abort();
  }
}

class Input {
public:
  Input(const uint8_t* data, size_t size) : p_(data), n_(size) {}
  bool Empty() const { return n_ == 0; }
  uint8_t Byte() {
    if (n_ == 0) return 0;
    --n_;
    return *p_++;
  }
  std::string Bytes(size_t k) {
    if (k > n_) k = n_;
    std::string s(reinterpret_cast<const char*>(p_), k);
    p_ += k;
    n_ -= k;
    return s;
  }

private:
  const uint8_t* p_;
  size_t n_;
};

std::string StartText(uint8_t choice) {
  switch (choice % 10) {
  case 0:
    return "";
  case 1:
    return "rem counting\r\nfor i = 1 to 10\r\n   print i\r\nnext i\r\n";
  case 2:
    return "\tif x > 0\r\n\t\tx = x - 1\r\n\tendif\r\na\tb\tc\r\n";
  case 3:
    return "print (a + [b * {c}])\r\n\"(in a string\"\r\n` (a remark\r\nfunction f(x)\r\n"
           "endfunction (x)\r\n";
  case 4: {
    std::string s;
    for (int i = 0; i < 30; ++i) s += "abc def:ghi ";
    return s + "\r\nshort\r\n";
  }
  case 5:
    return "x";
  case 6:
    return "\r\n\r\n\r\n   \r\nend\r\n";
  case 7:
    return bench::GenerateSource(40, choice);
  case 8:
    return bench::GenerateSource(150, choice); // past the line store's first growths
  default:
    return "   do\r\n      sync\r\n   loop\r\nremstart\r\nremend\r\n";
  }
}

const TStringsOption kOptions[] = {
    soLimitEOL,    soUseTabCharacter, soBeyondFileEnd,      soPersistentBlocks, soOverwriteBlocks,
    soAutoIndent,  soBackUnindents,   soGroupUndo,          soSmartTab,         soCursorOnTabs,
    soOptimalFill, soUsePrevIndent,   soCursorAlwaysOnTabs, soForceCutCopy,
};
constexpr int kOptionCount = sizeof(kOptions) / sizeof(kOptions[0]);

// Command codes, for tracing; Session::Command has the same order.
const char* const kCommandNames[] = {
    "TypeChar",
    "InsertNewLine",
    "BackSpace",
    "DeleteChar",
    "TabKey",
    "BackTab",
    "Move",
    "SelectMove stream",
    "SelectMove column",
    "SetBookmark",
    "GotoBookmark",
    "ToggleBookmark",
    "ClearBookmark",
    "Undo",
    "Redo",
    "CutToClipboard",
    "CopyToClipboard",
    "PasteFromClipboard",
    "IndentBlock",
    "UnindentBlock",
    "case change",
    "DeleteLine",
    "DeleteWordLeft",
    "DeleteWordRight",
    "delete to",
    "InsertCodeTemplate",
    "MoveSelectionToCaret",
    "CopySelectionToCaret",
    "GotoMatchingBracket",
    "toggle option",
    "overwrite",
    "SetCaret",
    "selection",
    "SelectBlock",
    "DeleteSelection",
    "clipboard text",
    "Lines write",
    "toggle ReadOnly",
    "SetBlockOption",
    "primitive",
};
constexpr int kCommandCount = sizeof(kCommandNames) / sizeof(kCommandNames[0]);

// The printable characters the editor control passes to TypeChar: 32 to 126 and 128 to 255.
char Printable(uint8_t b) {
  const int c = b % 223;
  return static_cast<char>(c < 95 ? 32 + c : 128 + (c - 95));
}

// Text for the line list, which takes no line breaks.
std::string LineText(Input& in) {
  std::string s = in.Bytes(in.Byte() % 16);
  for (char& c : s) {
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  }
  return s;
}

void Move(TMemoSource& doc, uint8_t which) {
  switch (which % 10) {
  case 0:
    doc.MoveCaretUp();
    break;
  case 1:
    doc.MoveCaretDown();
    break;
  case 2:
    doc.MoveCaretLeft();
    break;
  case 3:
    doc.MoveCaretRight();
    break;
  case 4:
    doc.MoveCaretToLineStart();
    break;
  case 5:
    doc.MoveCaretToLineEnd();
    break;
  case 6:
    doc.MoveCaretToTop();
    break;
  case 7:
    doc.MoveCaretToBottom();
    break;
  case 8:
    doc.WordLeft();
    break;
  default:
    doc.WordRight();
    break;
  }
}

// Expanded lines without trailing blanks and without trailing empty lines: what undo must give
// back. Blanks that the caret trims when it leaves a line, the padding of a line up to the
// caret and the empty lines added below the text for a caret beyond it make no undo records.
std::vector<std::string> Comparable(TMemoSource& doc) {
  std::vector<std::string> lines;
  for (int i = 0; i < doc.LineCount(); ++i) {
    std::string s = doc.Lines().Get(i);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= 32) s.pop_back();
    lines.push_back(std::move(s));
  }
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

class Session {
public:
  explicit Session(Input& in) : in_(in) {}

  void Start() {
    ResetProcessState();
    const std::string text = StartText(in_.Byte());
    static const char* const stops[] = {"3", "9,17", "4", "2,5,11", "1"};
    const uint8_t shape = in_.Byte();
    doc_.ConfigureAsDocument();
    doc_.SetTabStops(stops[shape % 5]);
    doc_.SetSpacesInTab(1 + (shape / 5) % 10);
    doc_.SetBlockIndent((shape / 50) % 5);
    const unsigned low = in_.Byte();
    const unsigned bits = low | (static_cast<unsigned>(in_.Byte()) << 8);
    TStringsOptions options = doc_.Options();
    for (int i = 0; i < kOptionCount; ++i) {
      if (bits & (1u << i)) options.Set(kOptions[i], !options.Has(kOptions[i]));
    }
    doc_.SetOptions(options);
    doc_.LoadFromBytes(text);
    tabsStored_ = doc_.Has(soUseTabCharacter);
    start_ = Comparable(doc_);
    CheckLines();
    trace_ = std::getenv("MARLO_FUZZ_TRACE") != nullptr;
    if (trace_) Trace("start");
  }

  void Run() {
    while (!in_.Empty() && doc_.LineCount() < kMaxLines) {
      const bool readOnly = doc_.ReadOnly();
      const std::string before = readOnly ? doc_.Lines().Text() : std::string();
      const uint8_t code = in_.Byte();
      const bool mayChange = Command(code);
      if (trace_) Trace(kCommandNames[code % kCommandCount]);
      CheckState();
      if (readOnly && !mayChange)
        Require(doc_.Lines().Text() == before, "a read-only document changed");
    }
  }

  void Finish() {
    CheckLines();
    doc_.SetReadOnly(false);
    RedoAll(); // what the session undid last comes back first, so that both ends are fixed
    const std::vector<std::string> final = Comparable(doc_);
    // A step may leave a record behind that moves a clamped caret back, but the next step
    // takes it and at least one more: the list runs out within twice its length.
    for (int steps = 2 * doc_.UndoList().Count() + 2; doc_.CanUndo(); --steps) {
      Require(steps > 0, "undoing does not come to an end");
      doc_.Undo();
      if (trace_) Trace("final Undo");
      CheckState();
    }
    CheckLines();
    Require(Comparable(doc_) == start_, "undoing everything did not give the starting text");
    if (!linesWritten_) Require(!doc_.Modified(), "modified after undoing everything");
    RedoAll();
    Require(Comparable(doc_) == final, "redoing everything did not give the final text");
  }

private:
  static constexpr int kMaxLines = 3000;
  static constexpr size_t kMaxPaste = 8192;

  // The overwrite mode, the clipboard and its column flag are shared by the whole process;
  // each input starts from the same state.
  void ResetProcessState() {
    TMemoSource scratch;
    scratch.SetOverwrite(false);
    scratch.LoadFromBytes("x");
    scratch.SelectBlock(TSelectionType::Stream, 0, 0, 1, 0);
    scratch.CopyToClipboard();
    TClipboard::Current().Clear();
  }

  void RedoAll() {
    for (int steps = 2 * doc_.RedoList().Count() + 2; doc_.CanRedo(); --steps) {
      Require(steps > 0, "redoing does not come to an end");
      doc_.Redo();
      if (trace_) Trace("final Redo");
      CheckState();
    }
  }

  // With MARLO_FUZZ_TRACE set, running one input shows each command and the text after it.
  void Trace(const char* what) {
    std::fprintf(stderr, "-- %s: caret %d,%d sel %d (%d,%d)-(%d,%d) undo %d redo %d%s\n", what,
                 doc_.CaretX(), doc_.CaretY(), static_cast<int>(doc_.SelectionKind()),
                 doc_.BlockBegin().X, doc_.BlockBegin().Y, doc_.BlockEnd().X, doc_.BlockEnd().Y,
                 doc_.UndoList().Count(), doc_.RedoList().Count(),
                 TMemoSource::Overwrite() ? " overwrite" : "");
    for (int i = 0; i < doc_.LineCount(); ++i)
      std::fprintf(stderr, "   |%s|\n", std::string(doc_.StoredLine(i)).c_str());
  }

  // Cheap checks after every command.
  void CheckState() {
    Require(doc_.CaretX() >= 0 && doc_.CaretY() >= 0, "negative caret");
    if (!doc_.Has(soBeyondFileEnd)) {
      const int last = doc_.LineCount() > 0 ? doc_.LineCount() - 1 : 0;
      Require(doc_.CaretY() <= last, "caret below the last line");
    }
    if (doc_.HasSelection()) {
      const TPoint b = doc_.BlockBegin(), e = doc_.BlockEnd();
      Require(b.Y < e.Y || (b.Y == e.Y && b.X <= e.X), "block end before block begin");
      if (doc_.SelectionKind() == TSelectionType::Column)
        Require(b.X <= e.X, "column block with its columns reversed");
    }
    bool seen[256] = {};
    const auto& marks = doc_.Bookmarks().Items();
    for (size_t i = 0; i < marks.size(); ++i) {
      const TBookmark& m = marks[i];
      Require(m.Number >= 1 && m.Number <= 255, "bookmark number out of range");
      Require(!seen[m.Number], "bookmark number twice");
      seen[m.Number] = true;
      if (i > 0) {
        const TBookmark& p = marks[i - 1];
        Require(p.Y < m.Y || (p.Y == m.Y && (p.X < m.X || (p.X == m.X && p.Number < m.Number))),
                "bookmarks out of order");
      }
    }
  }

  void CheckLines() {
    for (int i = 0; i < doc_.LineCount(); ++i) {
      const std::string_view s = doc_.StoredLine(i);
      Require(s.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos,
              "a line holds CR, LF or NUL");
      Require(tabsStored_ || s.find('\t') == std::string_view::npos,
              "a tab was stored without soUseTabCharacter");
    }
  }

  size_t TextSize() {
    size_t n = 0;
    for (int i = 0; i < doc_.LineCount(); ++i) n += doc_.StoredLine(i).size() + 2;
    return n;
  }

  // A write through the line list cannot be undone: it empties both lists, and undo leads
  // back to the text after it. A write to a line outside the text is ignored and keeps them.
  void LinesWritten() {
    if (doc_.UndoList().Count() > 0 || doc_.RedoList().Count() > 0) return;
    linesWritten_ = true;
    start_ = Comparable(doc_);
  }

  // Runs one command; returns whether it may change a read-only document.
  bool Command(uint8_t code) {
    switch (code % kCommandCount) {
    case 0:
      doc_.TypeChar(Printable(in_.Byte()));
      break;
    case 1:
      doc_.InsertNewLine();
      break;
    case 2:
      doc_.BackSpace();
      break;
    case 3:
      doc_.DeleteChar();
      break;
    case 4:
      doc_.TabKey();
      break;
    case 5:
      doc_.BackTab();
      break;
    case 6:
      Move(doc_, in_.Byte());
      break;
    case 7:
    case 8: {
      const auto kind = code % kCommandCount == 7 ? TSelectionType::Stream : TSelectionType::Column;
      const uint8_t which = in_.Byte();
      doc_.SelectMove(kind, [&] { Move(doc_, which); });
      break;
    }
    case 9:
      doc_.SetBookmark(in_.Byte() % 12);
      break;
    case 10:
      doc_.GotoBookmark(in_.Byte() % 12);
      break;
    case 11:
      doc_.ToggleBookmark(in_.Byte() % 12);
      break;
    case 12:
      doc_.ClearBookmark(in_.Byte() % 12);
      break;
    case 13:
      doc_.Undo();
      break;
    case 14:
      doc_.Redo();
      break;
    case 15:
      doc_.CutToClipboard();
      break;
    case 16:
      doc_.CopyToClipboard();
      break;
    case 17:
      if (TClipboard::Current().GetText().size() <= kMaxPaste && TextSize() <= 4 * kMaxPaste)
        doc_.PasteFromClipboard();
      break;
    case 18:
      doc_.IndentBlock();
      break;
    case 19:
      doc_.UnindentBlock();
      break;
    case 20:
      switch (in_.Byte() % 6) {
      case 0:
        doc_.UpperCaseBlock();
        break;
      case 1:
        doc_.LowerCaseBlock();
        break;
      case 2:
        doc_.ToggleCaseBlock();
        break;
      case 3:
        doc_.UpperCaseWord();
        break;
      case 4:
        doc_.LowerCaseWord();
        break;
      default:
        doc_.QuoteBlock();
        break;
      }
      break;
    case 21:
      doc_.DeleteLine();
      break;
    case 22:
      doc_.DeleteWordLeft();
      break;
    case 23:
      doc_.DeleteWordRight();
      break;
    case 24:
      switch (in_.Byte() % 3) {
      case 0:
        doc_.DeleteToWordEnd();
        break;
      case 1:
        doc_.DeleteToLineStart();
        break;
      default:
        doc_.DeleteToLineEnd();
        break;
      }
      break;
    case 25: {
      const uint8_t index = in_.Byte();
      if (!doc_.CodeTemplates().empty())
        doc_.InsertCodeTemplate(index % static_cast<int>(doc_.CodeTemplates().size()));
      break;
    }
    case 26:
      doc_.MoveSelectionToCaret();
      break;
    case 27:
      if (TextSize() <= 4 * kMaxPaste) doc_.CopySelectionToCaret();
      break;
    case 28:
      doc_.GotoMatchingBracket();
      break;
    case 29: {
      const TStringsOption o = kOptions[in_.Byte() % kOptionCount];
      doc_.SetOption(o, !doc_.Has(o));
      tabsStored_ |= doc_.Has(soUseTabCharacter);
      break;
    }
    case 30:
      switch (in_.Byte() % 3) {
      case 0:
        doc_.SetOverwrite(false);
        break;
      case 1:
        doc_.SetOverwrite(true);
        break;
      default:
        doc_.ToggleOverwrite();
        break;
      }
      break;
    case 31: {
      const int x = in_.Byte() % 100;
      const int y = in_.Byte() % (doc_.LineCount() + 3);
      doc_.SetCaret(x, y);
      break;
    }
    case 32:
      switch (in_.Byte() % 6) {
      case 0:
        doc_.SelectAll();
        break;
      case 1:
        doc_.SelectWordAtCaret();
        break;
      case 2:
        doc_.SelectCaretLine();
        break;
      case 3:
        doc_.ClearSelection();
        break;
      case 4:
        doc_.SetBlockBegin();
        break;
      default:
        doc_.SetBlockEnd();
        break;
      }
      break;
    case 33:
      SelectBlock();
      break;
    case 34:
      doc_.DeleteSelection();
      break;
    case 35:
      TClipboard::Current().SetText(in_.Bytes(in_.Byte() % 64));
      break;
    case 36: {
      const uint8_t what = in_.Byte();
      const int i = in_.Byte() % (doc_.LineCount() + 1);
      if (what % 3 == 0) {
        doc_.Lines().Put(i, LineText(in_));
      } else if (what % 3 == 1) {
        doc_.Lines().Insert(i, LineText(in_));
      } else {
        doc_.Lines().Delete(i);
      }
      LinesWritten();
      return true;
    }
    case 37:
      doc_.SetReadOnly(!doc_.ReadOnly());
      return true;
    case 38:
      doc_.SetBlockOption(static_cast<TBlockOption>(in_.Byte() % 4));
      break;
    default:
      switch (in_.Byte() % 4) {
      case 0: {
        std::string s = LineText(in_);
        if (!tabsStored_) {
          for (char& c : s) {
            if (c == '\t') c = ' ';
          }
        }
        doc_.InsertText(s);
        break;
      }
      case 1:
        doc_.DeleteChars(1 + in_.Byte() % 5);
        break;
      case 2:
        doc_.SplitLine();
        break;
      default:
        doc_.JoinLines();
        break;
      }
      break;
    }
    const int command = code % kCommandCount;
    if (command == 17 || command == 25 || command == 27) CheckLines();
    return false;
  }

  // A selection set directly, as the mouse sets one: ends in document order, on lines of the
  // text unless the caret may go below it.
  void SelectBlock() {
    const auto kind = in_.Byte() % 2 ? TSelectionType::Column : TSelectionType::Stream;
    const int lines = doc_.Has(soBeyondFileEnd) ? doc_.LineCount() + 2 : doc_.LineCount();
    const int span = lines > 0 ? lines : 1;
    int bx = in_.Byte() % 90, by = in_.Byte() % span;
    int ex = in_.Byte() % 90, ey = in_.Byte() % span;
    if (by > ey || (by == ey && bx > ex)) {
      std::swap(bx, ex);
      std::swap(by, ey);
    }
    if (kind == TSelectionType::Column && bx > ex) std::swap(bx, ex);
    doc_.SelectBlock(kind, bx, by, ex, ey);
  }

  Input& in_;
  TMemoSource doc_;
  std::vector<std::string> start_;
  bool tabsStored_ = false;
  bool trace_ = false;
  bool linesWritten_ = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);
  Session session(in);
  session.Start();
  session.Run();
  session.Finish();
  return 0;
}
