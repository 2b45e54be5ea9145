#pragma once
// The search options every text model of the process shares. The find and replace
// dialogs work on a copy and write it back on OK; find-again runs with what they left.
#include <string>

namespace marlo {

enum class TSearchDirection { sdForward, sdBackward };
enum class TSearchScope { ssGlobal, ssSelectedText };
enum class TSearchOrigin { soFromCursor, soEntireScope };
enum class TSearchWhere { swProjectFiles, swOpenFiles, swDirectories };

struct TSearchOptions {
  bool CaseSensitive = false;
  bool WholeWordsOnly = false;
  bool RegularExpr = false;
  TSearchDirection Direction = TSearchDirection::sdForward;
  TSearchScope Scope = TSearchScope::ssGlobal;
  TSearchOrigin Origin = TSearchOrigin::soEntireScope;
  bool PromptOnReplace = false;
  std::string TextToFind;
  std::string ReplaceWith;
  // The next search is the first after a dialog.
  bool FirstSearch = false;
  // Find-again repeats a replacement rather than a find.
  bool InReplace = false;
  bool ReplaceAll = false;
  bool ShowNotFound = false;
  // For a search over files; kept with the others.
  TSearchWhere Where = TSearchWhere::swDirectories;
  std::string FileMask;
  bool IncludeSubDirs = false;

  bool operator==(const TSearchOptions&) const = default;
};

// The options of this run, created with the initial values on first use.
TSearchOptions& SharedSearchOptions();

} // namespace marlo
