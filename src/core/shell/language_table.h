#pragma once
// The language table: every user-visible text of the program's own windows, looked up by
// key in the plain-text file Language.txt beside the program. Translating the program means
// replacing that file.
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace marlo {

class TLanguageTable {
public:
  // Reads the file's lines, replacing whatever the table held. Raises Error when the file
  // cannot be read; the table is then empty, so every lookup gives the empty text.
  void LoadFromFile(const std::string& path);
  // Lines end in CR LF, LF or CR; a NUL ends the text.
  void LoadFromBytes(std::string_view bytes);
  void Clear();

  // The text of the first line whose key equals `key` without regard to case, or the empty
  // text when there is none.
  const std::string& LanguageText(std::string_view key) const;

  // The `CharSet` entry as a number. Raises Error when it is missing or not a decimal
  // integer.
  int CharSet() const;

  // The trimmed lines, in file order.
  const std::vector<std::string>& Lines() const { return lines_; }

private:
  std::vector<std::string> lines_;
  // Upper-cased key -> the text of the first line with that key.
  std::unordered_map<std::string, std::string> index_;
};

} // namespace marlo
