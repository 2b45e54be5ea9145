#include "core/shell/mru_file_list.h"

#include <algorithm>

namespace marlo {

void TMRUFileList::Add(const std::string& fileName) {
  if (fileName.empty()) return;
  auto it = std::find(items_.begin(), items_.end(), fileName);
  if (it != items_.end()) items_.erase(it);
  items_.insert(items_.begin(), fileName);
  if (items_.size() > kMaxItems) items_.resize(kMaxItems);
}

void TMRUFileList::LoadFromRegistry(platform::TRegistry& registry) {
  items_.clear();
  if (!registry.KeyExists(kMRUKey) || !registry.OpenKey(kMRUKey, false)) return;
  for (const std::string& name : registry.GetValueNames()) {
    if (items_.size() >= kMaxItems) break;
    if (registry.GetDataType(name) != platform::rdString) continue;
    std::string file = registry.ReadString(name);
    if (file.empty() || std::find(items_.begin(), items_.end(), file) != items_.end()) continue;
    items_.push_back(file);
  }
  registry.CloseKey();
}

void TMRUFileList::SaveToRegistry(platform::TRegistry& registry) const {
  registry.DeleteKey(kMRUKey);
  registry.OpenKey(kMRUKey, true);
  for (size_t i = 0; i < items_.size(); ++i)
    registry.WriteString("F" + std::to_string(i), items_[i]);
  registry.CloseKey();
}

std::string TMRUFileList::Caption(int index, const std::string& shownName) {
  static constexpr char kAccess[] = "1234567890ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::string caption = "&";
  if (index >= 0 && index < static_cast<int>(sizeof kAccess - 1)) caption += kAccess[index];
  caption += ' ';
  for (char c : shownName) {
    if (c == '&') caption += '&';
    caption += c;
  }
  return caption;
}

} // namespace marlo
