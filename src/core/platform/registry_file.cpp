#include "core/platform/registry_file.h"

#include "core/ascii.h"

#include <algorithm>
#include <cstdio>

namespace marlo::platform {

namespace {

constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::string_view kRootPrefix = "HKEY_";

bool StartsWithName(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && SameRegName(s.substr(0, prefix.size()), prefix);
}

// Whether `path` names `key` itself or a key below it.
bool IsAtOrBelow(std::string_view path, std::string_view key) {
  if (path.size() < key.size() || !SameRegName(path.substr(0, key.size()), key)) return false;
  return path.size() == key.size() || path[key.size()] == '\\';
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return c - 'A' + 10;
}

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}

[[noreturn]] void Fail(size_t line, const std::string& reason) {
  throw ERegistryFileError("line " + std::to_string(line) + ": " + reason);
}

// Reads the quoted text that starts at s[pos] (a double quote) and moves pos past its
// closing quote. A backslash before anything but the escapes stands for itself, so a
// hand-written "C:\Games" reads as it looks.
bool ReadQuoted(std::string_view s, size_t& pos, std::string& out) {
  out.clear();
  for (size_t i = pos + 1; i < s.size(); ++i) {
    char c = s[i];
    if (c == '"') {
      pos = i + 1;
      return true;
    }
    if (c == '\\' && i + 1 < s.size()) {
      char next = s[i + 1];
      const char* escapes = "\\\"rn0";
      const char* decoded = "\\\"\r\n";
      if (const char* e = std::char_traits<char>::find(escapes, 5, next)) {
        size_t k = static_cast<size_t>(e - escapes);
        out += k < 4 ? decoded[k] : '\0';
        ++i;
        continue;
      }
    }
    out += c;
  }
  return false;
}

void AppendQuoted(std::string& out, std::string_view text) {
  out += '"';
  for (char c : text) {
    switch (c) {
    case '\\':
      out += "\\\\";
      break;
    case '"':
      out += "\\\"";
      break;
    case '\r':
      out += "\\r";
      break;
    case '\n':
      out += "\\n";
      break;
    case '\0':
      out += "\\0";
      break;
    default:
      out += c;
    }
  }
  out += '"';
}

bool ValidKeyPath(std::string_view path) {
  if (!StartsWithName(path, kRootPrefix)) return false;
  if (path.back() == '\\' || path.find("\\\\") != std::string_view::npos) return false;
  return path.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

bool ParseDword(std::string_view digits, int32_t& number) {
  if (digits.empty() || digits.size() > 8) return false;
  uint32_t n = 0;
  for (char c : digits) {
    if (!IsHexDigit(c)) return false;
    n = n << 4 | static_cast<uint32_t>(HexValue(c));
  }
  number = static_cast<int32_t>(n);
  return true;
}

bool IsHexListChar(char c) {
  return IsHexDigit(c) || c == ',' || IsBlank(c);
}

// The data of a value of a type we keep as written: hex:..., hex(N):..., the bytes as
// hex pairs; a trailing backslash continues it on the next line.
bool ValidHexData(std::string_view data) {
  if (!StartsWithName(data, "hex")) return false;
  size_t i = 3;
  if (i < data.size() && data[i] == '(') {
    size_t close = data.find(')', i);
    if (close == std::string_view::npos || close == i + 1) return false;
    for (size_t k = i + 1; k < close; ++k)
      if (!IsHexDigit(data[k])) return false;
    i = close + 1;
  }
  if (i >= data.size() || data[i] != ':') return false;
  std::string_view list = data.substr(i + 1);
  if (!list.empty() && list.back() == '\\') list.remove_suffix(1);
  return std::all_of(list.begin(), list.end(), IsHexListChar);
}

class TParser {
public:
  explicit TParser(std::string_view text) : text_(text) {}

  void Run(TRegistryFile& file) {
    if (text_.starts_with("\xEF\xBB\xBF")) text_.remove_prefix(3);
    if (std::all_of(text_.begin(), text_.end(),
                    [](char c) { return IsBlank(c) || c == '\r' || c == '\n'; }))
      return;
    std::string_view line;
    if (!NextLine(line) || TrimRight(line) != kHeader)
      Fail(1, "the file does not begin with REGEDIT4");
    TRegKey* key = nullptr;
    while (NextLine(line)) {
      line = TrimLeft(TrimRight(line));
      if (line.empty() || line.front() == ';') continue;
      if (line.front() == '[') {
        if (line.back() != ']') Fail(lineNo_, "a key name without its closing ]");
        std::string_view path = line.substr(1, line.size() - 2);
        if (path.empty() || !ValidKeyPath(path)) Fail(lineNo_, "not a key name from the root");
        key = file.FindKey(path);
        if (!key) key = &file.CreateKey(path);
        continue;
      }
      if (line.front() != '"' && line.front() != '@') Fail(lineNo_, "neither a key nor a value");
      if (!key) Fail(lineNo_, "a value before the first key");
      key->SetValue(ParseValue(line));
    }
  }

private:
  bool NextLine(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    size_t end = text_.find('\n', pos_);
    if (end == std::string_view::npos) end = text_.size();
    line = text_.substr(pos_, end - pos_);
    pos_ = end + 1;
    ++lineNo_;
    return true;
  }

  TRegValue ParseValue(std::string_view line) {
    TRegValue value;
    size_t pos = 0;
    if (line.front() == '@') {
      pos = 1;
    } else if (!ReadQuoted(line, pos, value.Name)) {
      Fail(lineNo_, "a value name without its closing quote");
    }
    std::string_view rest = TrimLeft(line.substr(pos));
    if (rest.empty() || rest.front() != '=') Fail(lineNo_, "a value name without =");
    std::string_view data = TrimLeft(rest.substr(1));
    if (!data.empty() && data.front() == '"') {
      size_t end = 0;
      if (!ReadQuoted(data, end, value.Text)) Fail(lineNo_, "a string without its closing quote");
      if (end != data.size()) Fail(lineNo_, "text after a string's closing quote");
      value.Type = rdString;
    } else if (StartsWithName(data, "dword:")) {
      if (!ParseDword(data.substr(6), value.Number))
        Fail(lineNo_, "a dword that is not one to eight hex digits");
      value.Type = rdInteger;
    } else if (ValidHexData(data)) {
      value.Type = rdUnknown;
      value.Text = data;
      std::string_view more = data;
      while (more.back() == '\\') {
        if (!NextLine(more)) Fail(lineNo_, "the file ends inside a value");
        more = TrimRight(more);
        if (TrimLeft(more).empty() || !ValidHexData("hex:" + std::string(TrimLeft(more))))
          Fail(lineNo_, "a broken continuation line");
        value.Text += '\n';
        value.Text += more;
      }
    } else {
      Fail(lineNo_, "a value of an unknown type");
    }
    return value;
  }

  std::string_view text_;
  size_t pos_ = 0;
  size_t lineNo_ = 0;
};

} // namespace

bool SameRegName(std::string_view a, std::string_view b) {
  return EqualsNoCase(a, b);
}

TRegValue* TRegKey::FindValue(std::string_view name) {
  for (TRegValue& v : Values)
    if (SameRegName(v.Name, name)) return &v;
  return nullptr;
}

const TRegValue* TRegKey::FindValue(std::string_view name) const {
  return const_cast<TRegKey*>(this)->FindValue(name);
}

void TRegKey::SetValue(TRegValue value) {
  if (TRegValue* old = FindValue(value.Name)) {
    value.Name = std::move(old->Name);
    *old = std::move(value);
  } else {
    Values.push_back(std::move(value));
  }
}

bool TRegKey::DeleteValue(std::string_view name) {
  auto it = std::find_if(Values.begin(), Values.end(),
                         [&](const TRegValue& v) { return SameRegName(v.Name, name); });
  if (it == Values.end()) return false;
  Values.erase(it);
  return true;
}

TRegistryFile TRegistryFile::Parse(std::string_view text) {
  TRegistryFile file;
  TParser(text).Run(file);
  return file;
}

std::string TRegistryFile::Format() const {
  std::string out(kHeader);
  out += "\n\n";
  for (const TRegKey& key : keys_) {
    out += '[';
    out += key.Path;
    out += "]\n";
    for (const TRegValue& v : key.Values) {
      if (v.Name.empty())
        out += '@';
      else
        AppendQuoted(out, v.Name);
      out += '=';
      switch (v.Type) {
      case rdString:
        AppendQuoted(out, v.Text);
        break;
      case rdInteger: {
        char digits[16];
        std::snprintf(digits, sizeof digits, "dword:%08x", static_cast<uint32_t>(v.Number));
        out += digits;
        break;
      }
      case rdUnknown:
        out += v.Text;
        break;
      }
      out += '\n';
    }
    out += '\n';
  }
  return out;
}

TRegKey* TRegistryFile::FindKey(std::string_view path) {
  for (TRegKey& k : keys_)
    if (SameRegName(k.Path, path)) return &k;
  return nullptr;
}

const TRegKey* TRegistryFile::FindKey(std::string_view path) const {
  return const_cast<TRegistryFile*>(this)->FindKey(path);
}

bool TRegistryFile::KeyExists(std::string_view path) const {
  return std::any_of(keys_.begin(), keys_.end(),
                     [&](const TRegKey& k) { return IsAtOrBelow(k.Path, path); });
}

TRegKey& TRegistryFile::CreateKey(std::string_view path) {
  if (TRegKey* key = FindKey(path)) return *key;
  // Parents below the root get sections of their own, as an export lists them.
  size_t root = path.find('\\');
  for (size_t cut = root == std::string_view::npos ? path.size() : path.find('\\', root + 1);
       cut < path.size(); cut = path.find('\\', cut + 1)) {
    if (!KeyExists(path.substr(0, cut))) AddSection(path.substr(0, cut));
  }
  return AddSection(path);
}

TRegKey& TRegistryFile::AddSection(std::string_view path) {
  keys_.push_back(TRegKey{std::string(path), {}});
  return keys_.back();
}

bool TRegistryFile::DeleteKey(std::string_view path) {
  return std::erase_if(keys_, [&](const TRegKey& k) { return IsAtOrBelow(k.Path, path); }) > 0;
}

std::vector<std::string> TRegistryFile::SubKeyNames(std::string_view path) const {
  std::vector<std::string> names;
  for (const TRegKey& k : keys_) {
    if (k.Path.size() <= path.size() + 1 || !IsAtOrBelow(k.Path, path)) continue;
    std::string_view below = std::string_view(k.Path).substr(path.size() + 1);
    std::string_view name = below.substr(0, below.find('\\'));
    if (std::none_of(names.begin(), names.end(),
                     [&](const std::string& n) { return SameRegName(n, name); }))
      names.emplace_back(name);
  }
  return names;
}

} // namespace marlo::platform
