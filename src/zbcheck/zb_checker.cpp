#include "zbcheck/zb_checker.h"

#include "core/ascii.h"
#include "zbcheck/zb_lexer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <vector>

namespace marlo::zbcheck {

bool MarkLine(std::string_view line, bool inRemarkBlock, std::string& marks) {
  struct TMarker {
    std::string& Marks;
    void String(size_t from, size_t to, bool) {
      Marks.replace(from, to - from, to - from, bmString);
    }
    void Remark(size_t from, size_t to) { Marks.replace(from, to - from, to - from, bmRemark); }
    void BlockOpened() {}
    void Parenthesis(char) {}
  } marker{marks};
  marks.assign(line.size(), bmCode);
  return ScanLine(line, inRemarkBlock, marker).InRemarkBlock;
}

namespace {

// The blocks, in the order of the two name tables below.
enum TBlockKind : uint8_t { bkIf, bkFor, bkDo, bkWhile, bkRepeat, bkFunction, bkSelect, bkCase };
constexpr const char* kOpeners[] = {"IF",     "FOR",      "DO",     "WHILE",
                                    "REPEAT", "FUNCTION", "SELECT", "CASE"};
constexpr const char* kClosers[] = {"ENDIF", "NEXT",        "LOOP",      "ENDWHILE",
                                    "UNTIL", "ENDFUNCTION", "ENDSELECT", "ENDCASE"};

// The first words that matter; an opener's or closer's value is its block kind.
enum TWord : uint8_t {
  wOpen = 0,  // + TBlockKind
  wClose = 8, // + TBlockKind
  wNone = 16,
  wThen,
  wElse,
  wElseIf,
  wExitFunction,
  wGoto,
  wGosub,
  wRemend,
};

constexpr TWord Opener(TBlockKind kind) {
  return TWord(int(wOpen) + int(kind));
}
constexpr TWord Closer(TBlockKind kind) {
  return TWord(int(wClose) + int(kind));
}

struct TWordEntry {
  std::string_view Upper;
  TWord Word;
};
constexpr TWordEntry kWords[] = {
    {"IF", Opener(bkIf)},
    {"FOR", Opener(bkFor)},
    {"DO", Opener(bkDo)},
    {"WHILE", Opener(bkWhile)},
    {"REPEAT", Opener(bkRepeat)},
    {"FUNCTION", Opener(bkFunction)},
    {"SELECT", Opener(bkSelect)},
    {"CASE", Opener(bkCase)},
    {"ENDIF", Closer(bkIf)},
    {"NEXT", Closer(bkFor)},
    {"LOOP", Closer(bkDo)},
    {"ENDWHILE", Closer(bkWhile)},
    {"UNTIL", Closer(bkRepeat)},
    {"ENDFUNCTION", Closer(bkFunction)},
    {"ENDSELECT", Closer(bkSelect)},
    {"ENDCASE", Closer(bkCase)},
    {"THEN", wThen},
    {"ELSE", wElse},
    {"ELSEIF", wElseIf},
    {"EXITFUNCTION", wExitFunction},
    {"GOTO", wGoto},
    {"GOSUB", wGosub},
    {"REMEND", wRemend},
};
constexpr size_t kLongestWord = 12;

TWord WordOf(const char* p, size_t n) {
  if (n < 2 || n > kLongestWord) return wNone;
  const char first = UpperAscii(p[0]);
  for (const TWordEntry& e : kWords) {
    if (e.Upper.size() != n || e.Upper[0] != first) continue;
    size_t i = 1;
    while (i < n && UpperAscii(p[i]) == e.Upper[i]) ++i;
    if (i == n) return e.Word;
  }
  return wNone;
}

struct TNoCaseHash {
  size_t operator()(std::string_view s) const {
    size_t h = 14695981039346656037ull;
    for (char c : s) h = (h ^ static_cast<unsigned char>(UpperAscii(c))) * 1099511628211ull;
    return h;
  }
};
struct TNoCaseEqual {
  bool operator()(std::string_view a, std::string_view b) const { return EqualsNoCase(a, b); }
};

struct TBlock {
  TBlockKind Kind;
  bool HasElse = false;
  size_t Line = 0;
  std::string_view Variable; // a FOR's, into the source
};

// A GOTO or GOSUB, whose label is looked for once every label is known.
struct TJump {
  size_t Line;
  std::string_view Label;
};

class TChecker {
public:
  explicit TChecker(std::string_view source) : source_(source) {}
  TCheckResult Run();

private:
  // Each returns false once an error is found.
  bool CheckLine(std::string_view line);
  bool CheckStatements();
  bool CheckEnd();
  // One statement whose first word `word` ends at wordEnd; sets `next` to where the
  // statements go on.
  bool Statement(TWord word, size_t wordEnd, size_t& next);
  bool Open(TBlockKind kind, size_t wordEnd);
  bool Close(TBlockKind kind, size_t wordEnd);
  bool Else(TWord word);

  bool Fail(std::string message) { return Fail(line_, std::move(message)); }
  bool Fail(size_t line, std::string message);

  // Where the statement from `from` ends: at ":", or also before an ELSE on a line with a
  // one-line IF.
  size_t StatementEnd(size_t from) const;
  // The name after a keyword: a word, with a "#" or "$" when `typed`; empty when none.
  std::string_view NameAfter(size_t from, bool typed) const;

  std::string_view source_;
  TCheckResult result_;
  size_t line_ = 0;

  std::string_view text_; // the current line as read (up to a NUL)
  std::string_view code_; // the same bytes with strings and remarks blanked out
  std::string blanked_;   // the storage of code_ when the line has strings or remarks
  size_t codeEnd_ = 0;    // one past the last byte of code_ that is not blank
  bool stringOpen_ = false;
  bool oneLineIf_ = false;

  bool inRemarkBlock_ = false;
  size_t remarkBlockLine_ = 0;
  std::vector<TBlock> blocks_;
  std::unordered_map<std::string_view, size_t, TNoCaseHash, TNoCaseEqual> labels_;
  std::vector<TJump> jumps_;
};

TCheckResult TChecker::Run() {
  size_t pos = 0, next = 0;
  while (pos < source_.size()) {
    size_t end = LineEnd(source_, pos, next);
    ++line_;
    if (!CheckLine(source_.substr(pos, end - pos))) break;
    pos = next;
  }
  result_.LineCount = line_;
  if (result_.Clean()) CheckEnd();
  return std::move(result_);
}

bool TChecker::Fail(size_t line, std::string message) {
  result_.Line = line;
  result_.Message = std::move(message);
  return false;
}

bool TChecker::CheckLine(std::string_view line) {
  // Strings and remarks become blanks in a copy; a line without any is used as it stands.
  struct TBlanker {
    TChecker& Checker;
    std::string_view Line;
    bool Copied = false;
    void Copy() {
      if (Copied) return;
      Checker.blanked_.assign(Line.data(), Line.size());
      Copied = true;
    }
    void String(size_t from, size_t to, bool closed) {
      Copy();
      // Not blanks: a string between two words keeps them apart and is no label.
      std::memset(Checker.blanked_.data() + from, '"', to - from);
      if (!closed) Checker.stringOpen_ = true;
    }
    void Remark(size_t from, size_t to) {
      Copy();
      std::memset(Checker.blanked_.data() + from, ' ', to - from);
    }
    void BlockOpened() { Checker.remarkBlockLine_ = Checker.line_; }
    void Parenthesis(char c) {
      if (c == '(') {
        ++Depth;
      } else if (Depth > 0) {
        --Depth;
      } else {
        UnmatchedClose = true;
      }
    }
    size_t Depth = 0;
    bool UnmatchedClose = false;
  } blanker{*this, line};

  stringOpen_ = false;
  TLineScan scan = ScanLine(line, inRemarkBlock_, blanker);
  inRemarkBlock_ = scan.InRemarkBlock;
  text_ = line.substr(0, scan.Length);
  code_ = blanker.Copied ? std::string_view(blanked_).substr(0, scan.Length) : text_;
  // A string left open is told before the parentheses, and they before the statements.
  if (stringOpen_) return Fail("string not closed: a double quote is missing");
  if (blanker.UnmatchedClose) return Fail("\")\" without \"(\"");
  if (blanker.Depth > 0) return Fail("\"(\" not closed");
  codeEnd_ = code_.size();
  while (codeEnd_ > 0 && IsBlank(code_[codeEnd_ - 1])) --codeEnd_;
  return codeEnd_ == 0 || CheckStatements();
}

bool TChecker::CheckStatements() {
  size_t pos = 0;
  while (pos < codeEnd_ && IsBlank(code_[pos])) ++pos;
  // A line holding only "name:" is a label.
  size_t word = pos;
  while (word < codeEnd_ && IsWordChar(code_[word])) ++word;
  if (word > pos && word + 1 == codeEnd_ && code_[word] == ':') {
    std::string_view name = text_.substr(pos, word - pos);
    auto [it, added] = labels_.try_emplace(name, line_);
    if (!added)
      return Fail("label " + std::string(name) + ": defined twice (first at line " +
                  std::to_string(it->second) + ")");
    return true;
  }

  oneLineIf_ = false;
  while (pos < codeEnd_) {
    if (IsBlank(code_[pos]) || code_[pos] == ':') {
      ++pos;
      continue;
    }
    size_t wordEnd = pos;
    while (wordEnd < codeEnd_ && IsWordChar(code_[wordEnd])) ++wordEnd;
    if (!Statement(WordOf(code_.data() + pos, wordEnd - pos), wordEnd, pos)) return false;
  }
  return true;
}

bool TChecker::Statement(TWord word, size_t wordEnd, size_t& next) {
  next = wordEnd; // after THEN or ELSE the statements go on
  if (word == Opener(bkIf)) {
    // THEN decides, before the statement ends.
    size_t p = wordEnd;
    while (p < codeEnd_ && code_[p] != ':') {
      if (!IsWordChar(code_[p])) {
        ++p;
        continue;
      }
      size_t q = p;
      while (q < codeEnd_ && IsWordChar(code_[q])) ++q;
      TWord w = WordOf(code_.data() + p, q - p);
      if (w == wThen) {
        next = q;
        if (q == codeEnd_) break; // nothing but a remark after THEN: a block IF
        oneLineIf_ = true;        // what follows THEN is statements of their own
        return true;
      }
      if (w == wElse && oneLineIf_) break;
      p = q;
    }
    next = std::max(next, p);
    return Open(bkIf, wordEnd);
  }
  if (word == wElse) {
    // An ELSE after a one-line IF belongs to it; the text after any ELSE is statements.
    return oneLineIf_ || Else(word);
  }

  next = StatementEnd(wordEnd);
  if (word < wClose) return Open(TBlockKind(word - wOpen), wordEnd);
  if (word < wNone) return Close(TBlockKind(word - wClose), wordEnd);
  switch (word) {
  case wElseIf:
    return Else(word);
  case wExitFunction:
    return (!blocks_.empty() && blocks_.front().Kind == bkFunction) ||
           Fail("EXITFUNCTION outside FUNCTION");
  case wGoto:
  case wGosub: {
    std::string_view label = NameAfter(wordEnd, false);
    if (label.empty())
      return Fail(std::string(word == wGoto ? "GOTO" : "GOSUB") + " needs a label");
    jumps_.push_back({line_, label});
    return true;
  }
  case wRemend:
    return Fail("REMEND without REMSTART");
  default:
    return true;
  }
}

bool TChecker::Open(TBlockKind kind, size_t wordEnd) {
  if (kind == bkCase && (blocks_.empty() || blocks_.back().Kind != bkSelect))
    return Fail("CASE outside SELECT");
  if (kind == bkFunction && !blocks_.empty()) {
    const TBlock& open = blocks_.back();
    return Fail(std::string("FUNCTION inside another block (the ") + kOpeners[open.Kind] +
                " at line " + std::to_string(open.Line) + " is not closed)");
  }
  TBlock block{kind, false, line_, {}};
  if (kind == bkFor) block.Variable = NameAfter(wordEnd, true);
  blocks_.push_back(block);
  return true;
}

bool TChecker::Close(TBlockKind kind, size_t wordEnd) {
  if (blocks_.empty() || blocks_.back().Kind != kind) {
    bool open = false;
    for (const TBlock& b : blocks_) open = open || b.Kind == kind;
    if (!open) return Fail(std::string(kClosers[kind]) + " without " + kOpeners[kind]);
    const TBlock& inner = blocks_.back();
    return Fail(std::string(kClosers[kind]) + " found, but the " + kOpeners[inner.Kind] +
                " at line " + std::to_string(inner.Line) + " needs its " + kClosers[inner.Kind] +
                " first");
  }
  if (kind == bkFor) {
    std::string_view variable = NameAfter(wordEnd, true);
    std::string_view loop = blocks_.back().Variable;
    if (!variable.empty() && !loop.empty() && !EqualsNoCase(variable, loop))
      return Fail("NEXT " + std::string(variable) + " does not match FOR " + std::string(loop));
  }
  blocks_.pop_back();
  return true;
}

bool TChecker::Else(TWord word) {
  const char* name = word == wElse ? "ELSE" : "ELSEIF";
  if (blocks_.empty() || blocks_.back().Kind != bkIf)
    return Fail(std::string(name) + " without IF");
  TBlock& block = blocks_.back();
  if (block.HasElse) return Fail(word == wElse ? "second ELSE in one IF" : "ELSEIF after ELSE");
  if (word == wElse) block.HasElse = true;
  return true;
}

bool TChecker::CheckEnd() {
  if (inRemarkBlock_) return Fail(remarkBlockLine_, "REMSTART without REMEND");
  if (!blocks_.empty()) {
    const TBlock& open = blocks_.back();
    return Fail(open.Line, std::string(kOpeners[open.Kind]) + " without " + kClosers[open.Kind]);
  }
  for (const TJump& jump : jumps_)
    if (labels_.find(jump.Label) == labels_.end())
      return Fail(jump.Line, "label " + std::string(jump.Label) + " not found");
  return true;
}

size_t TChecker::StatementEnd(size_t from) const {
  if (!oneLineIf_) {
    size_t colon = code_.find(':', from);
    return colon < codeEnd_ ? colon : codeEnd_;
  }
  size_t p = from;
  while (p < codeEnd_ && code_[p] != ':') {
    if (!IsWordChar(code_[p])) {
      ++p;
      continue;
    }
    size_t q = p;
    while (q < codeEnd_ && IsWordChar(code_[q])) ++q;
    if (WordOf(code_.data() + p, q - p) == wElse) return p;
    p = q;
  }
  return p;
}

std::string_view TChecker::NameAfter(size_t from, bool typed) const {
  size_t p = from;
  while (p < codeEnd_ && IsBlank(code_[p])) ++p;
  size_t q = p;
  while (q < codeEnd_ && IsWordChar(code_[q])) ++q;
  if (typed && q > p && q < codeEnd_ && (code_[q] == '#' || code_[q] == '$')) ++q;
  return text_.substr(p, q - p);
}

} // namespace

TCheckResult CheckSource(std::string_view source) {
  return TChecker(source).Run();
}

} // namespace marlo::zbcheck
