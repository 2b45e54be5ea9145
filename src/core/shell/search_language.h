#pragma once
// The search messages as the language table words them.
#include "core/search/search_texts.h"

namespace marlo {

class TLanguageTable;

// The texts of `language`; a key it lacks keeps its English text.
TSearchTexts SearchTextsFromLanguage(const TLanguageTable& language);

} // namespace marlo
