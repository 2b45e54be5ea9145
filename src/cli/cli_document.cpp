#include "cli/cli_document.h"

#include "core/platform/program_folder.h"
#include "core/syntax/my_parser.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <ostream>

namespace marlo::cli {

namespace {

bool CheckRegularFile(const std::string& command, const std::string& what, const std::string& file,
                      std::ostream& err) {
  std::error_code ec;
  if (std::filesystem::is_regular_file(file, ec)) return true;
  bool exists = std::filesystem::exists(file, ec);
  err << "marlo-cli " << command << ": cannot open " << what << "\"" << file
      << "\": " << (exists ? "not a regular file" : "no such file") << "\n";
  return false;
}

} // namespace

bool LoadDocument(const std::string& command, const std::string& file, TMemoSource& source,
                  std::ostream& err) {
  if (!CheckRegularFile(command, "", file, err)) return false;
  source.ConfigureAsDocument();
  try {
    source.LoadFromFile(file);
  } catch (const std::exception& e) {
    err << "marlo-cli " << command << ": cannot read \"" << file << "\": " << e.what() << "\n";
    return false;
  }
  source.SetFileName(file);
  return true;
}

bool LoadKeywords(const std::string& command, const std::string& file,
                  std::vector<std::string>& keywords, std::ostream& err) {
  std::string name = file.empty() ? platform::ProgramFolder() + "keywords.txt" : file;
  if (!CheckRegularFile(command, "the keyword list ", name, err)) return false;
  try {
    keywords = LoadKeywordFile(name);
  } catch (const std::exception& e) {
    err << "marlo-cli " << command << ": cannot read the keyword list \"" << name
        << "\": " << e.what() << "\n";
    return false;
  }
  return true;
}

namespace {

const char* KindName(TSelectionType kind) {
  switch (kind) {
  case TSelectionType::Stream:
    return "stream";
  case TSelectionType::Column:
    return "column";
  case TSelectionType::None:
    break;
  }
  return "none";
}

} // namespace

void WriteSelection(const TCustomMemoSource& source, std::ostream& out) {
  TPoint b = source.BlockBegin(), e = source.BlockEnd();
  out << "@selection " << KindName(source.SelectionKind()) << " " << b.X << " " << b.Y << " " << e.X
      << " " << e.Y << "\n";
}

void WriteState(const TCustomMemoSource& source, std::ostream& out) {
  out << "@caret " << source.CaretX() << " " << source.CaretY() << "\n";
  WriteSelection(source, out);
  std::vector<TBookmark> marks = source.Bookmarks().Items();
  std::sort(marks.begin(), marks.end(),
            [](const TBookmark& l, const TBookmark& r) { return l.Number < r.Number; });
  for (const TBookmark& m : marks)
    out << "@bookmark " << m.Number << " " << m.X << " " << m.Y << "\n";
  out << "@modified " << (source.Modified() ? 1 : 0) << "\n";
  out << "@overwrite " << (TCustomMemoSource::Overwrite() ? 1 : 0) << "\n";
}

// Every line as the line list gives it, each ended by a line feed, handed to the stream in
// large pieces as it goes: a big text is never held twice.
void WriteLines(const TCustomMemoSource& source, std::ostream& out) {
  constexpr size_t kPiece = size_t(1) << 16;
  std::string piece;
  piece.reserve(2 * kPiece);
  for (int i = 0; i < source.LineCount(); ++i) {
    std::string_view stored = source.StoredLine(i);
    if (stored.find('\t') == std::string_view::npos)
      piece.append(stored);
    else
      piece += source.LineText(i);
    piece += '\n';
    if (piece.size() >= kPiece) {
      out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
      piece.clear();
    }
  }
  out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
}

} // namespace marlo::cli
