// Loads arbitrary bytes as Language.txt and checks the lookup against the file's rules: the
// first line whose key matches in any case gives the text after its first "=".
#include "core/error.h"
#include "core/shell/language_table.h"
#include "core/text/char_case.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Require(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "fuzz_language_table: %s\n", what);
    std::abort();
  }
}

// The text a plain scan in file order finds for `key`.
std::string ScanText(const marlo::TLanguageTable& table, const std::string& key) {
  const std::string upper = marlo::UpperCaseText(key);
  for (const std::string& line : table.Lines()) {
    const size_t eq = line.find('=');
    if (eq != std::string::npos && marlo::UpperCaseText(line.substr(0, eq)) == upper)
      return line.substr(eq + 1);
  }
  return "";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  marlo::TLanguageTable table;
  table.LoadFromBytes(bytes);
  for (const std::string& line : table.Lines()) {
    Require(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos,
            "a line holds CR, LF or NUL");
    Require(line.empty() || (static_cast<unsigned char>(line.front()) > 32 &&
                             static_cast<unsigned char>(line.back()) > 32),
            "a line is not trimmed");
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = line.substr(0, eq);
    Require(table.LanguageText(key) == ScanText(table, key), "a lookup differs from a scan");
    Require(table.LanguageText(marlo::LowerCaseText(key)) == table.LanguageText(key),
            "a lookup depends on letter case");
  }
  try {
    (void)table.CharSet();
  } catch (const marlo::Error&) {
  }
  return 0;
}
