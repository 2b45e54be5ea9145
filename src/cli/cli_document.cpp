#include "cli/cli_document.h"

#include "core/platform/program_folder.h"
#include "core/syntax/my_parser.h"

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

} // namespace marlo::cli
