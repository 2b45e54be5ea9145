#include "core/preproc/global_pass.h"

#include <string>

namespace marlo::preproc {

namespace {

void CopyLines(TLineSpan lines, TLineBlock& output) {
  size_t bytes = 0;
  for (size_t i = 0; i < lines.Count(); ++i) bytes += lines[i].size();
  output.Clear();
  output.Reserve(lines.Count(), bytes);
  for (size_t i = 0; i < lines.Count(); ++i) output.Add(lines[i]);
}

} // namespace

bool TGlobalPass::Run(TLineSpan work, TLineBlock& output, TPreprocContext& context) {
  const TPreprocTexts& texts = context.Texts;
  context.Status.Add(texts.CheckGlobals);
  names_.Clear();
  if (!Collect(work, "GLOBAL", context,
               [&](std::string_view s, int line) { return Declare(s, line, context); }))
    return false;
  if (names_.Count() == 0) {
    CopyLines(work, output);
    context.Status.Add(texts.NoneFound);
    return true;
  }
  context.Status.Add(texts.ReplacingGlobals);
  if (!Replace(output, context,
               [&](std::string_view line, int index, std::string& out, bool& inRemarkBlock) {
                 ReplaceLine(line, index, out, inRemarkBlock, context);
               }))
    return false;
  context.Status.Add(texts.Done);
  return true;
}

// ---- Collecting step -------------------------------------------------------------------

// Parses the GLOBAL line whose text after the keyword is `s` (trimmed), declares its names
// and returns the line of DIMs that takes its place.
std::string TGlobalPass::Declare(std::string_view s, int line, TPreprocContext& context) {
  const TPreprocTexts& texts = context.Texts;
  std::string declaration;
  std::string name;
  for (const char c : s) {
    if (IsNameChar(c)) {
      name += c;
      if (name == "#" || name == "$") {
        std::string message = texts.ErrorVarExpected;
        message.append(" ").append(name).append(" ").append(texts.Found);
        Fail(message, line);
      }
      // "#" and "$" may only end a name.
      const size_t n = name.size();
      if (n >= 2 && (name[n - 2] == '#' || name[n - 2] == '$')) {
        std::string message = texts.ErrorIllegalChar;
        message.append(" ").append(1, name[n - 2]).append(" ").append(texts.ErrorFoundBeforeEnd);
        Fail(message, line);
      }
    } else if (c == ' ' || c == '\t' || c == ',') {
      if (!name.empty()) AddName(name, line, declaration, context);
      name.clear();
    }
    // Any other character neither joins nor ends the name.
  }
  if (!name.empty()) AddName(name, line, declaration, context);
  declaration += " rem Marlo global replacement";
  context.Status.Add(declaration, " ", texts.ReplacedDefinition);
  return declaration;
}

void TGlobalPass::AddName(std::string_view name, int line, std::string& declaration,
                          TPreprocContext& context) {
  const TPreprocTexts& texts = context.Texts;
  if (names_.Find(name) != TNameTable::kNone) {
    std::string message = texts.ErrorRedeclare;
    message.append(" ").append(name);
    Fail(message, line);
  }
  names_.Add(name);
  context.Status.Add(texts.Adding, " ", name);
  declaration.append("dim ").append(name).append("(1):");
}

// ---- Replacing step --------------------------------------------------------------------

void TGlobalPass::ReplaceLine(std::string_view line, int index, std::string& out,
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
    while (p < n && IsNameChar(s[p])) ++p;
    const bool atEnd = p == n;
    const char c = atEnd ? ' ' : s[p];
    if (c == '"' || c == '(') {
      // A name followed at once by "(" is an array of its own and stays as it is.
      if (c == '"') inString = !inRemarkBlock;
      wordStart = ++p;
      continue;
    }
    if (c == '`' && !inRemarkBlock) break; // the rest of the line stays as it is
    const std::string_view word(s + wordStart, p - wordStart);
    if (!word.empty()) {
      if (!inRemarkBlock && names_.Find(word) != TNameTable::kNone) {
        out.append(s + copied, p - copied).append("(1)");
        copied = p;
        if (context.Status.Kept())
          context.Status.Add(texts.Replaced, " ", word, " ", texts.Width, " ", word, "(1) ",
                             texts.AtLine, " ", TLineNumber(index), ".");
      } else if (StartsRemark(word, inRemarkBlock)) {
        break;
      }
    }
    if (atEnd) break;
    wordStart = ++p;
  }
  out.append(s + copied, n - copied);
}

} // namespace marlo::preproc
