#pragma once
// The recent-files list of the File menu: full file names, most recent first, at most
// five, kept as F0 to F4 under "MRU Items" of the settings key.
#include "core/platform/registry_store.h"

#include <string>
#include <vector>

namespace marlo {

inline constexpr const char* kMRUKey = "\\Software\\Zorbic\\MRU Items";

class TMRUFileList {
public:
  static constexpr int kMaxItems = 5;

  const std::vector<std::string>& Items() const { return items_; }
  // Moves an equal entry to the top, or puts the name there and drops the oldest beyond
  // five. Names compare as the file system does: two names that differ only in letter
  // case are two files.
  void Add(const std::string& fileName);
  void Clear() { items_.clear(); }

  // Reads the values of the key in stored order. Values that are not strings, empty ones
  // and repeats are passed over.
  void LoadFromRegistry(platform::TRegistry& registry);
  // Erases the key and writes the entries anew, F0 the most recent.
  void SaveToRegistry(platform::TRegistry& registry) const;

  // The menu caption of entry `index`: "&" and its access character, a blank and the
  // shown name, whose own "&" are doubled so that they show as such.
  static std::string Caption(int index, const std::string& shownName);

private:
  std::vector<std::string> items_;
};

} // namespace marlo
