#pragma once
// The desktop clipboard as the text model sees it: text through the program's code page.
#include "core/platform/code_page.h"
#include "core/text/clipboard.h"

namespace marlo {

class TQtClipboard : public TClipboard {
public:
  std::string GetText() override;
  void SetText(const std::string& text) override;
  void Clear() override;
  bool OwnedByUs() override;

  void SetCharSet(int charSet);

  // The one clipboard of the program, installed for every text model on first use.
  static TQtClipboard& Installed();

private:
  const platform::TCodePage* page_ = &platform::TCodePage::Get(platform::TCodePage::kDefault);
};

} // namespace marlo
