#include "core/shell/user_templates.h"

#include "core/error.h"
#include "core/platform/file_system.h"
#include "core/shell/document_files.h"
#include "core/syntax/my_parser.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace marlo {

std::vector<TMemoCodeTemplate>
LoadUserTemplates(const std::string& folder,
                  const std::function<void(const std::string&)>& onError) {
  std::vector<std::string> files;
  std::error_code ec;
  for (auto it = std::filesystem::directory_iterator(folder, ec);
       !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (UpperFileExt(name) == ".ZBA") files.push_back(name);
  }
  std::sort(files.begin(), files.end());

  std::vector<TMemoCodeTemplate> templates;
  for (const std::string& name : files) {
    TMemoCodeTemplate t;
    try {
      // A template file's lines break as a keyword file's do: CR LF, CR or LF, a NUL ends it.
      for (const std::string& line : LoadKeywordFile(folder + "/" + name)) t.Code += line + "\r\n";
    } catch (const Error& e) {
      if (onError) onError(e.what());
      continue;
    }
    t.Name = name.substr(0, name.find('.'));
    t.Description = kUserTemplateDescription;
    templates.push_back(std::move(t));
  }
  return templates;
}

} // namespace marlo
