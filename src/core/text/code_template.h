#pragma once
#include <string>
#include <vector>

namespace marlo {

struct TMemoCodeTemplate {
  std::string Name;
  std::string Description;
  std::string Code; // lines separated by CR LF

  std::vector<std::string> CodeLines() const;
};

// The templates every document window starts with.
std::vector<TMemoCodeTemplate> DefaultCodeTemplates();

} // namespace marlo
