#pragma once
// What the key commands ask of the editor control: its page, its scrolling, and the
// dialogs that belong to the window (find, replace, go to line, the template list).
#include "core/text/key_view.h"

namespace marlo {

class TCustomCodeMemo;

class TMemoCommands : public TKeyView {
public:
  explicit TMemoCommands(TCustomCodeMemo& memo) : memo_(memo) {}

  int PageLines() const override;
  int FirstVisibleLine() const override;
  void ScrollLines(int delta) override;
  void Find() override;
  void Replace() override;
  void FindAgain() override;
  void GotoLine() override;
  void EndMouseAction() override;
  int ChooseCodeTemplate(const std::vector<const TMemoCodeTemplate*>& candidates) override;

private:
  TCustomCodeMemo& memo_;
};

} // namespace marlo
