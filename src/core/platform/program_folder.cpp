#include "core/platform/program_folder.h"

#include "core/error.h"

#include <filesystem>
#include <system_error>

namespace marlo::platform {

std::string ProgramFolder() {
  std::error_code ec;
  // /proc/self/exe already names the file behind every link; canonical() makes sure.
  std::filesystem::path exe = std::filesystem::canonical("/proc/self/exe", ec);
  if (ec) throw Error("Cannot find the program's folder: " + ec.message());
  std::string folder = exe.parent_path().string();
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

} // namespace marlo::platform
