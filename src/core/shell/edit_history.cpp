#include "core/shell/edit_history.h"

#include "core/platform/registry_store.h"
#include "core/text/char_case.h"

#include <algorithm>
#include <exception>

namespace marlo {

void AddToHistory(std::vector<std::string>& items, const std::string& text) {
  const std::string key = UpperCaseText(text);
  std::erase_if(items, [&](const std::string& item) { return UpperCaseText(item) == key; });
  if (!text.empty()) items.insert(items.begin(), text);
}

std::vector<std::string> LoadHistory(const std::string& name) {
  std::vector<std::string> items;
  try {
    platform::TRegistry registry(platform::DefaultRegistryPath(), platform::raReadOnly);
    if (!registry.OpenKey(kEditHistoryKey, false) || !registry.ValueExists(name)) return items;
    const std::string value = registry.ReadString(name);
    size_t from = 0;
    while (from <= value.size()) {
      size_t end = value.find("\r\n", from);
      if (end == std::string::npos) end = value.size();
      if (end > from) items.push_back(value.substr(from, end - from));
      from = end + 2;
    }
  } catch (const std::exception&) {
    items.clear();
  }
  return items;
}

void SaveHistory(const std::string& name, const std::vector<std::string>& items) {
  std::string value;
  for (const std::string& item : items) {
    if (!value.empty()) value += "\r\n";
    value += item;
  }
  try {
    platform::TRegistry registry(platform::DefaultRegistryPath(), platform::raReadWrite,
                                 [](const std::string&) {});
    if (!registry.OpenKey(kEditHistoryKey, true)) return;
    registry.WriteString(name, value);
    registry.Flush();
  } catch (const std::exception&) {
    // Not reported: losing a history loses no work.
  }
}

} // namespace marlo
