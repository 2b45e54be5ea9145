#pragma once
#include <string>

namespace marlo {

// The platform clipboard as the text model sees it; the UI installs one backed by the
// desktop's clipboard, everything else uses one that lives in the process.
class TClipboard {
public:
  virtual ~TClipboard() = default;
  virtual std::string GetText() = 0;
  virtual void SetText(const std::string& text) = 0;
  virtual void Clear() = 0;
  // Whether the current contents were put there by this program.
  virtual bool OwnedByUs() = 0;

  // The clipboard all text models use. Never null.
  static TClipboard& Current();
  // Installs `clipboard` (not owned); null goes back to the in-process one.
  static void Install(TClipboard* clipboard);
};

// Contents that live only in this process.
class TProcessClipboard : public TClipboard {
public:
  std::string GetText() override { return text_; }
  void SetText(const std::string& text) override { text_ = text; }
  void Clear() override { text_.clear(); }
  bool OwnedByUs() override { return true; }

private:
  std::string text_;
};

} // namespace marlo
