#include "core/shell/search_language.h"

#include "core/shell/language_table.h"

namespace marlo {

TSearchTexts SearchTextsFromLanguage(const TLanguageTable& language) {
  TSearchTexts texts;
  const struct {
    const char* Key;
    std::string TSearchTexts::*Text;
  } kKeys[] = {
      {"SearchNotFound", &TSearchTexts::NotFound},
      {"SearchInvalidMask", &TSearchTexts::InvalidMask},
      {"SearchBlockInvalid", &TSearchTexts::BlockInvalid},
      {"SearchCursorOutsideBlock", &TSearchTexts::CursorOutsideBlock},
      {"SearchReplaceQuestion", &TSearchTexts::ReplaceQuestion},
      {"GotoLineInvalid", &TSearchTexts::GotoLineInvalid},
  };
  for (const auto& k : kKeys)
    if (const std::string& text = language.LanguageText(k.Key); !text.empty()) texts.*k.Text = text;
  return texts;
}

} // namespace marlo
