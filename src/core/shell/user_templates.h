#pragma once
// The user's own code templates: every *.zba file of the Templates folder beside the
// program becomes a template named after the file.
#include "core/text/code_template.h"

#include <functional>
#include <string>
#include <vector>

namespace marlo {

inline constexpr const char* kUserTemplateDescription = "User Defined";

// The templates of the files in `folder` whose extension is ".zba" in any letter case,
// in name order: the name is the file name up to its first ".", the code the file's lines,
// each followed by CR LF. A missing folder gives none. A file that cannot be read is told
// to `onError` (with the reason) and passed over.
std::vector<TMemoCodeTemplate>
LoadUserTemplates(const std::string& folder,
                  const std::function<void(const std::string&)>& onError = {});

} // namespace marlo
