#pragma once
// The contents of a per-user registry file in the text format of registry exports
// (REGEDIT4): keys named from the root in sections, and under each its named values.
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\Zorbic]
//   "Core Path"="/usr/lib/marlo/zbcheck"
//   "Font Size"=dword:0000000a
//
// Strings are bytes; a backslash escapes `\`, `"`, and the line breaks and NUL that
// cannot stand in a line (`\r`, `\n`, `\0`). Values of other types that a hand-made
// export may hold (hex:...) are kept as they were written. Key and value names compare
// without regard to ASCII case and keep their stored spelling.
#include "core/error.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marlo::platform {

enum TRegDataType : uint8_t {
  rdUnknown, // a type this program does not write (binary and the like)
  rdString,
  rdInteger, // 32 bits
};

struct TRegValue {
  std::string Name; // empty for the key's default value, written as @
  TRegDataType Type = rdString;
  std::string Text;   // rdString: the string; rdUnknown: the data text as stored
  int32_t Number = 0; // rdInteger
  bool operator==(const TRegValue&) const = default;
};

struct TRegKey {
  std::string Path; // from the root, "HKEY_CURRENT_USER\Software\Zorbic"
  std::vector<TRegValue> Values;

  TRegValue* FindValue(std::string_view name);
  const TRegValue* FindValue(std::string_view name) const;
  // Replaces a value of the same name where it stands (keeping the stored spelling of the
  // name), or adds it at the end.
  void SetValue(TRegValue value);
  bool DeleteValue(std::string_view name);
  bool operator==(const TRegKey&) const = default;
};

// The text could not be read as a registry file; what() names the line and the reason.
class ERegistryFileError : public Error {
public:
  using Error::Error;
};

// Compares per byte with the ASCII letters folded; never through the process locale.
bool SameRegName(std::string_view a, std::string_view b);

class TRegistryFile {
public:
  // Raises ERegistryFileError for text that is not a registry file. Empty text, or text of
  // blanks only, is an empty file.
  static TRegistryFile Parse(std::string_view text);
  std::string Format() const;

  const std::vector<TRegKey>& Keys() const { return keys_; }
  TRegKey* FindKey(std::string_view path);
  const TRegKey* FindKey(std::string_view path) const;
  // Whether the key has a section of its own or lies on the path of one that has.
  bool KeyExists(std::string_view path) const;
  // The key, made with its missing parents below the root when it has no section yet.
  TRegKey& CreateKey(std::string_view path);
  // Removes the key and every key below it; false when there was none.
  bool DeleteKey(std::string_view path);
  // The names of the keys directly below `path`, in stored order.
  std::vector<std::string> SubKeyNames(std::string_view path) const;

  bool operator==(const TRegistryFile&) const = default;

private:
  TRegKey& AddSection(std::string_view path);

  std::vector<TRegKey> keys_;
};

} // namespace marlo::platform
