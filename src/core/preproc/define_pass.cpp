#include "core/preproc/define_pass.h"

#include <string>

namespace marlo::preproc {

namespace {

// The characters at which the replacing step stops to look: the delimiters that end a
// word (blank, tab, "(", ",", ":" and ";"), the double quote and the backquote.
struct TStops {
  bool Of[256] = {};
  constexpr TStops() {
    for (const char c : {' ', '\t', '(', ',', ':', ';', '"', '`'})
      Of[static_cast<unsigned char>(c)] = true;
  }
};
constexpr TStops kStops;

size_t SkipBlanksAndTabs(std::string_view s, size_t i) {
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  return i;
}

} // namespace

bool TDefinePass::Run(TLineSpan work, TLineBlock& output, TPreprocContext& context) {
  const TPreprocTexts& texts = context.Texts;
  context.Status.Add(texts.CheckDefines);
  Reset(texts);
  if (!Collect(work, "DEFINE", context,
               [&](std::string_view s, int line) { return Define(s, line, context); }))
    return false;
  context.Status.Add(texts.ReplacingDefines);
  if (!Replace(output, context,
               [&](std::string_view line, int index, std::string& out, bool& inRemarkBlock) {
                 ReplaceLine(line, index, out, inRemarkBlock, context);
               }))
    return false;
  context.Status.Add(texts.Done);
  return true;
}

void TDefinePass::Reset(const TPreprocTexts& texts) {
  names_.Clear();
  texts_.clear();
  counts_.clear();
  Add("?", "PRINT", 0);
  // The truth values are named by the language file. Without a name they are left out:
  // an empty name would match the empty word between any two delimiters.
  if (!texts.GlobalTrue.empty()) Add(texts.GlobalTrue, "(1)", 0);
  if (!texts.GlobalFalse.empty()) Add(texts.GlobalFalse, "(0)", 0);
}

void TDefinePass::Add(std::string_view name, std::string_view text, int count) {
  names_.Add(name);
  texts_.emplace_back(text);
  counts_.push_back(count);
}

// ---- Collecting step -------------------------------------------------------------------

// Parses the DEFINE line whose text after the keyword is `s` (trimmed), adds its define and
// returns the remark that takes the line's place.
std::string TDefinePass::Define(std::string_view s, int line, TPreprocContext& context) {
  const TPreprocTexts& texts = context.Texts;
  size_t nameEnd = s.size();
  std::string_view value;
  int count = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == ',') {
      nameEnd = i;
      value = s.substr(i + 1);
      break;
    }
    if (c == ' ' || c == '\t') {
      // Whatever stands between the name and the comma is ignored.
      nameEnd = i;
      const size_t comma = s.find(',', i);
      if (comma == std::string_view::npos) Fail(texts.ErrorCommaExpected, line);
      value = s.substr(comma + 1);
      break;
    }
    if (c == ':' || c == ';') Fail(texts.ErrorCommaExpected, line);
    if (c == '(') {
      nameEnd = i;
      size_t k = SkipBlanksAndTabs(s, i + 1);
      if (k >= s.size() || s[k] < '1' || s[k] > '9') Fail(texts.ErrorParamCount, line);
      count = s[k] - '0';
      k = SkipBlanksAndTabs(s, k + 1);
      if (k >= s.size() || s[k] != ')') Fail(texts.ErrorParenExpected, line);
      const size_t comma = s.find(',');
      if (comma == std::string_view::npos || comma < k) Fail(texts.ErrorCommaAfterList, line);
      value = s.substr(comma + 1);
      break;
    }
  }
  const std::string_view name = Trim(s.substr(0, nameEnd));
  value = Trim(value);
  if (name.empty()) Fail(texts.ErrorIdentExpected, line);
  if (value.empty()) Fail(texts.ErrorDefExpected, line);
  if (names_.Find(name) != TNameTable::kNone) {
    std::string message = texts.ErrorRedeclare;
    message.append(" ").append(name);
    Fail(message, line);
  }
  Add(name, value, count);
  context.Status.Add(texts.Adding, " ", name);

  std::string remark = "REM : Marlo comment - DEFINE:";
  remark.append(s).append(" (").append(std::to_string(count)).append(") parameters.");
  context.Status.Add(texts.ReplacedDefinition, remark);
  return remark;
}

// ---- Replacing step --------------------------------------------------------------------

void TDefinePass::ReplaceLine(std::string_view line, int index, std::string& out,
                              bool& inRemarkBlock, TPreprocContext& context) const {
  const TPreprocTexts& texts = context.Texts;
  // The line is read as if one blank followed it, the sentinel that ends the last word; the
  // blank itself would only be trimmed off again, so it is never written.
  const char* const s = line.data();
  const size_t n = line.size();
  bool inString = false;
  size_t wordStart = 0; // the pending word is s[wordStart, p)
  size_t copied = 0;    // s[copied, p) is still to be written to `out`
  size_t p = 0;
  for (;;) {
    if (inString) {
      if (!LeaveString(line, p)) break; // the string runs to the end of the line
      inString = false;
      wordStart = p;
      continue;
    }
    while (p < n && !kStops.Of[static_cast<unsigned char>(s[p])]) ++p;
    const bool atEnd = p == n;
    const char c = atEnd ? ' ' : s[p];
    if (c == '"') {
      inString = !inRemarkBlock;
      wordStart = ++p;
      continue;
    }
    if (c == '`') {
      if (!inRemarkBlock) break; // the rest of the line stays as it is
      ++p;                       // inside a remark block it is part of the word
      continue;
    }

    const std::string_view word(s + wordStart, p - wordStart);
    const int define = (inRemarkBlock || word.empty()) ? TNameTable::kNone : names_.Find(word);
    if (define != TNameTable::kNone) {
      const size_t d = static_cast<size_t>(define);
      if (c == '(') {
        out.append(s + copied, wordStart - copied);
        p = copied = wordStart = Expand(line, p, word, define, index, out, texts);
        continue;
      }
      if (counts_[d] > 0) {
        std::string message = texts.ErrorParamsExpected;
        message.append(" ").append(word).append(".");
        Fail(message, index);
      }
      out.append(s + copied, wordStart - copied).append(texts_[d]);
      copied = p;
      if (context.Status.Kept())
        context.Status.Add(texts.Replaced, " ", word, " ", texts.With, " ", texts_[d], " ",
                           texts.AtLine, " ", TLineNumber(index), ".");
    } else if (StartsRemark(word, inRemarkBlock)) {
      break;
    }
    if (atEnd) break;
    wordStart = ++p;
  }
  out.append(s + copied, n - copied);
}

// Reads the arguments after the "(" at `open` and writes the define's text with them in
// place of %1 to %9. Returns the position after the closing ")".
size_t TDefinePass::Expand(std::string_view s, size_t open, std::string_view word, int define,
                           int index, std::string& out, const TPreprocTexts& texts) const {
  // Each argument is a run of the line between separating commas, kept as it stands.
  std::string_view args[10];
  int number = 1;
  int depth = 1;
  bool quoted = false, closed = false;
  size_t start = open + 1, k = open + 1;
  for (; k < s.size(); ++k) {
    const char c = s[k];
    if (c == '"') {
      quoted = !quoted;
    } else if (quoted) {
      continue;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')' && --depth == 0) {
      closed = true;
      break;
    } else if (c == ',') {
      args[number - 1] = s.substr(start, k - start);
      start = k + 1;
      if (++number > 9) break;
    }
  }
  if (number <= 9) args[number - 1] = s.substr(start, k - start);

  const int count = counts_[static_cast<size_t>(define)];
  if (number != count) {
    std::string message(word);
    message.append(" ").append(texts.Expects).append(" ").append(std::to_string(count));
    message.append(" ").append(texts.Parameters);
    Fail(message, index);
  }
  if (!closed) {
    std::string message = texts.ErrorUnbalancedParen;
    message.append(" ").append(word).append(".");
    Fail(message, index);
  }

  // The text is written in runs between its parameter marks.
  const std::string_view text = texts_[static_cast<size_t>(define)];
  for (size_t i = 0;;) {
    const size_t mark = text.find('%', i);
    if (mark == std::string_view::npos) {
      out.append(text.substr(i));
      break;
    }
    out.append(text.substr(i, mark - i));
    const char digit = mark + 1 < text.size() ? text[mark + 1] : '\0';
    if (digit < '1' || digit - '0' > count) {
      std::string message = texts.ErrorUnknownParam;
      message.append(" %");
      if (digit != '\0') message += digit;
      message += '.';
      Fail(message, index);
    }
    out.append(args[digit - '1']);
    i = mark + 2;
  }
  return k + 1;
}

} // namespace marlo::preproc
