#pragma once
// The histories of the find and replace text boxes: most recent first, no two items equal
// without regard to case, kept in the settings store as one string value each (the items
// joined by CR LF) under kEditHistoryKey.
#include <string>
#include <vector>

namespace marlo {

inline constexpr const char* kEditHistoryKey = "\\Software\\Zorbic\\EditHistory";

// Puts `text` at the top of `items`, removing an equal item; an empty text is only removed.
void AddToHistory(std::vector<std::string>& items, const std::string& text);

// The history stored under `name`; empty when there is none or the store cannot be read.
std::vector<std::string> LoadHistory(const std::string& name);
// Stores `items` under `name`; failures are not reported (a history is a convenience).
void SaveHistory(const std::string& name, const std::vector<std::string>& items);

} // namespace marlo
