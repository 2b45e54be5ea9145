#include "core/platform/program_folder.h"

#include <filesystem>
#include <system_error>

namespace marlo::platform {

std::string ProgramFolder() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::canonical("/proc/self/exe", ec);
  if (ec) return "./";
  std::string folder = exe.parent_path().string();
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

} // namespace marlo::platform
