#include "core/preproc/struct_pass.h"

namespace marlo::preproc {

namespace {

std::string Joined(std::string_view a, std::string_view b, std::string_view c = {}) {
  std::string s;
  s.reserve(a.size() + b.size() + c.size());
  s.append(a).append(b).append(c);
  return s;
}

} // namespace

void TStructPass::Clear() {
  types_.clear();
  typeNames_.Clear();
  instances_.clear();
  instanceNames_.Clear();
}

bool TStructPass::Run(TLineSpan work, TLineBlock& output, TPreprocContext& context) {
  const TPreprocTexts& texts = context.Texts;
  context.Status.Add(texts.CheckTypes);
  Clear();
  collected_ = false;
  if (!CollectLines(work, context)) return false;
  collected_ = true;
  if (types_.empty()) {
    context.Status.Add(texts.NoneFound);
    return true;
  }
  context.Status.Add(texts.ReplaceTypes);
  return ReplaceLines(output, context);
}

bool TStructPass::Collect(const TLines& work, TLines& pass, TPreprocContext& context) {
  const TLineBlock block(work);
  const bool ok = CollectLines(block, context);
  pass.assign(pass_.begin(), pass_.end());
  return ok;
}

bool TStructPass::Replace(const TLines& pass, TLines& output, TPreprocContext& context) {
  pass_.assign(pass.begin(), pass.end());
  // Lines handed in from outside came from nowhere this pass knows.
  origins_.resize(pass_.size());
  for (size_t i = 0; i < origins_.size(); ++i) origins_[i] = static_cast<int>(i);
  TLineBlock block;
  const bool ok = ReplaceLines(block, context);
  output = block.Lines();
  return ok;
}

// ---- Collecting step -------------------------------------------------------------------

bool TStructPass::CollectLines(TLineSpan work, TPreprocContext& context) {
  context.ErrorLine = -1;
  pass_.clear();
  pass_.reserve(work.Count());
  origins_.clear();
  origins_.reserve(work.Count());
  generated_.clear();
  const TPreprocTexts& texts = context.Texts;
  TLineRemarks remarks;
  try {
    size_t i = 0;
    while (i < work.Count()) {
      const std::string_view line = work[i];
      const std::string_view t = TrimLeft(line);
      if (t.empty() || t[0] == '`' || remarks.PassesThrough(line)) {
        Pass(line, i);
        ++i;
      } else if (StartsWithNoCase(t, "TYPE")) {
        Generate(Joined("REM Removed by Marlo - TYPE found \"", t, "\""), i);
        i = ReadStructure(work, i, texts);
      } else if (StartsWithNoCase(t, "DIMTYPE")) {
        ReadInstances(t, static_cast<int>(i), texts);
        ++i;
      } else {
        Pass(line, i);
        ++i;
      }
    }
  } catch (const EPreprocFailure& failure) {
    context.SetError(failure.what(), failure.Line);
    return false;
  }
  return true;
}

// Reads the block that starts at the TYPE line `line`; returns the index after its ENDTYPE.
size_t TStructPass::ReadStructure(TLineSpan work, size_t line, const TPreprocTexts& texts) {
  const int at = static_cast<int>(line);
  const std::string_view head = Trim(Trim(work[line]).substr(4));
  if (head.empty()) Fail(texts.ErrorNoTypeName, at);
  size_t n = 0;
  while (n < head.size() && IsWordChar(head[n])) ++n;
  const std::string_view name = head.substr(0, n);
  if (typeNames_.Find(name) != TNameTable::kNone) Fail(Joined(texts.ErrorRedeclare, " ", name), at);
  typeNames_.Add(name);
  types_.push_back(TType{std::string(name), {}, {}});
  const int typeIndex = static_cast<int>(types_.size()) - 1;

  for (size_t j = line + 1; j < work.Count(); ++j) {
    const std::string_view t = Trim(work[j]);
    TType& type = types_[static_cast<size_t>(typeIndex)];
    if (StartsWithNoCase(t, "ENDTYPE")) {
      if (type.Fields.empty()) Fail(texts.ErrorNoElementsDeclared, static_cast<int>(j));
      return j + 1;
    }
    ReadFieldLine(t, type, static_cast<int>(j), texts);
  }
  Fail(texts.ErrorEndTypeExpected, static_cast<int>(work.Count()));
}

// Splits a field line into declarations: blanks and commas outside parentheses separate
// them, and a closing parenthesis ends one.
void TStructPass::ReadFieldLine(std::string_view text, TType& type, int line,
                                const TPreprocTexts& texts) {
  std::string_view::size_type start = 0;
  size_t length = 0;
  int depth = 0;
  auto declare = [&](size_t end) { AddField(text.substr(start, end - start), type, line, texts); };
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (depth == 0 && (c == ' ' || c == ',')) {
      if (length > 0) {
        declare(i);
      } else if (c == ',') {
        Fail(texts.ErrorBlank, line);
      }
      start = i + 1;
      length = 0;
      continue;
    }
    if (c == ')') {
      if (depth == 0) Fail(texts.ErrorBadParen, line);
      if (--depth == 0) {
        declare(i + 1);
        start = i + 1;
        length = 0;
        continue;
      }
    } else if (c == '(') {
      ++depth;
    }
    ++length;
  }
  if (length > 0) declare(text.size());
}

void TStructPass::AddField(std::string_view declaration, TType& type, int line,
                           const TPreprocTexts& texts) {
  const std::string_view d = Trim(declaration);
  if (d.empty()) Fail(texts.ErrorBlank, line);
  const size_t open = d.find('(');
  const std::string_view name = open == std::string_view::npos ? d : Trim(d.substr(0, open));
  if (name.empty()) Fail(texts.ErrorBlank, line);
  if (type.FieldNames.Find(name) != TNameTable::kNone)
    Fail(Joined(texts.ErrorRedeclare, " ", name), line);
  type.FieldNames.Add(name);
  type.Fields.push_back(TItem{std::string(name), {}, 0});
  if (open == std::string_view::npos) return;

  const std::string_view after = d.substr(open + 1);
  const size_t close = after.find(')');
  if (close == std::string_view::npos) Fail(texts.ErrorParenExpected, line);
  std::string_view dims = Trim(after.substr(0, close));
  if (dims.empty()) Fail(texts.ErrorDimensionExpected, line);
  TItem& item = type.Fields.back();
  for (;;) {
    const size_t comma = dims.find(',');
    const std::string_view dim = Trim(dims.substr(0, comma));
    if (dim.empty()) Fail(texts.ErrorBlank, line);
    if (item.DimensionCount == 4) Fail(texts.ErrorFourDims, line);
    item.Dimensions[item.DimensionCount++] = std::string(dim);
    if (comma == std::string_view::npos) break;
    dims = dims.substr(comma + 1);
  }
}

void TStructPass::ReadInstances(std::string_view text, int line, const TPreprocTexts& texts) {
  const std::string_view rest = Trim(text.substr(7));
  const size_t comma = rest.find(',');
  if (rest.empty() || comma == std::string_view::npos) Fail(texts.ErrorNoTypeName, line);
  const std::string_view typeName = Trim(rest.substr(0, comma));
  if (typeName.empty()) Fail(texts.ErrorNoTypeName, line);
  std::string_view list = Trim(rest.substr(comma + 1));
  if (list.empty()) Fail(texts.ErrorIdentExpected, line);
  const int type = typeNames_.Find(typeName);
  if (type == TNameTable::kNone) Fail(texts.ErrorNoTypeName, line);
  for (;;) {
    const size_t next = list.find(',');
    AddInstance(Trim(list.substr(0, next)), type, line, texts);
    if (next == std::string_view::npos) break;
    list = list.substr(next + 1);
  }
}

void TStructPass::AddInstance(std::string_view piece, int type, int line,
                              const TPreprocTexts& texts) {
  if (piece.empty()) Fail(texts.ErrorIdentExpected, line);
  std::string_view name = piece, dimension;
  const size_t open = piece.find('(');
  if (open != std::string_view::npos) {
    name = Trim(piece.substr(0, open));
    const size_t close = piece.find(')', open + 1);
    if (close == std::string_view::npos) Fail(texts.ErrorParenExpected, line);
    dimension = Trim(piece.substr(open + 1, close - open - 1));
    if (dimension.empty()) Fail(texts.ErrorDimensionExpected, line);
  }
  // An instance without a name would match the empty word at every character of every
  // later line.
  if (name.empty()) Fail(texts.ErrorIdentExpected, line);
  if (instanceNames_.Find(name) != TNameTable::kNone)
    Fail(Joined(texts.ErrorRedeclare, " ", name), line);
  instanceNames_.Add(name);
  instances_.push_back(TInstance{std::string(name), type, std::string(dimension)});

  const size_t origin = static_cast<size_t>(line);
  Generate(Joined("` Marlo DIMs for instance ", name), origin);
  const std::string_view first = dimension.empty() ? std::string_view("1") : dimension;
  for (const TItem& field : types_[static_cast<size_t>(type)].Fields) {
    std::string dim = "DIM ";
    dim.append(name).append("_").append(field.Name).append("(").append(first).append(",");
    if (field.DimensionCount == 0) dim += '1';
    for (int k = 0; k < field.DimensionCount; ++k) {
      if (k > 0) dim += ',';
      dim += field.Dimensions[k];
    }
    dim += ')';
    Generate(std::move(dim), origin);
  }
}

// ---- Replacing step --------------------------------------------------------------------

bool TStructPass::ReplaceLines(TLineBlock& output, TPreprocContext& context) {
  size_t bytes = 0;
  for (const std::string_view line : pass_) bytes += line.size() + 1;
  try {
    // This step writes no status lines, so it may always be split.
    TReplaceHalves::Run(pass_.size(), bytes + bytes / 4, true, output,
                        [&](size_t from, size_t to, TLineBlock& out, TReplaceState& state) {
                          for (size_t i = from; i < to; ++i) {
                            const std::string_view t = TrimLeft(pass_[i]);
                            if (t.empty() || t[0] == '`') {
                              out.Add(pass_[i]);
                              continue;
                            }
                            ReplaceLine(pass_[i], static_cast<int>(i), out.Text(), state,
                                        context.Texts);
                            out.EndLine();
                          }
                        });
  } catch (const EPreprocFailure& failure) {
    context.SetError(failure.what(), failure.Line);
    return false;
  }
  return true;
}

void TStructPass::ReplaceLine(std::string_view line, int index, std::string& out,
                              TReplaceState& state, const TPreprocTexts& texts) const {
  state.Scan.assign(line);
  state.Scan += ' '; // the sentinel that ends the last word
  const std::string_view s = state.Scan;
  bool& inRemarkBlock = state.InRemarkBlock;
  size_t copied = 0; // s[copied, p) is still to be written to `out`
  size_t p = 0;
  while (p < s.size()) {
    // Words are collected outside strings only; the sentinel blank ends the last one.
    const size_t wordStart = p;
    while (IsWordChar(s[p])) ++p;
    const char c = s[p];
    const std::string_view word = s.substr(wordStart, p - wordStart);
    if (!word.empty()) {
      if (StartsRemark(word, inRemarkBlock)) break; // the rest stays as it is
      if (!inRemarkBlock) {
        const int instance = instanceNames_.Find(word);
        if (instance != TNameTable::kNone) {
          out.append(s.substr(copied, p - copied));
          p = copied = Rewrite(s, p, instances_[static_cast<size_t>(instance)], index, out, texts);
          continue;
        }
      }
    }
    ++p;
    // A string is passed over whole; one that runs to the end of the line ends the scan.
    if (c == '"' && !inRemarkBlock && !LeaveString(s, p)) break;
  }
  out.append(s.substr(copied));
}

// Rewrites the reference whose instance name ended at `at`: the name is already written.
// Returns the position from which the scan goes on.
size_t TStructPass::Rewrite(std::string_view s, size_t at, const TInstance& instance, int index,
                            std::string& out, const TPreprocTexts& texts) const {
  size_t q = at;
  std::string_view subscript = "1";
  if (instance.Dimension.empty()) {
    if (s[q] != '.') Fail(texts.ErrorElementExpected, index);
    ++q;
  } else {
    if (s[q] != '(') Fail(texts.ErrorParenExpected, index);
    int depth = 1;
    bool quoted = false;
    size_t k = q + 1;
    for (; k < s.size(); ++k) {
      const char c = s[k];
      if (c == '"') {
        quoted = !quoted;
      } else if (!quoted && c == '(') {
        ++depth;
      } else if (!quoted && c == ')' && --depth == 0) {
        break;
      }
    }
    if (k >= s.size()) Fail(texts.ErrorParenExpected, index);
    subscript = s.substr(q + 1, k - q - 1);
    q = k + 1;
    if (q >= s.size() || s[q] != '.') Fail(texts.ErrorElementExpected, index);
    ++q;
  }
  const size_t fieldStart = q;
  while (q < s.size() && IsNameChar(s[q])) ++q;
  const std::string_view field = s.substr(fieldStart, q - fieldStart);
  const TType& type = types_[static_cast<size_t>(instance.Type)];
  const int f = type.FieldNames.Find(field);
  if (f == TNameTable::kNone)
    Fail(Joined(texts.ErrorElementExpected, " (", Joined(field, ")")), index);
  out.append("_").append(field).append("(").append(subscript).append(",");
  if (type.Fields[static_cast<size_t>(f)].DimensionCount == 0) {
    out += "1)";
    return q; // the character after the field name is read as an ordinary one
  }
  if (q >= s.size() || s[q] != '(') Fail(texts.ErrorDimensionExpected, index);
  return q + 1; // the field's own subscripts and ")" follow as ordinary text
}

} // namespace marlo::preproc
