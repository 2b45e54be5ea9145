#include "ui/editor/memo_commands.h"

#include "ui/editor/code_template_list.h"
#include "ui/editor/custom_code_memo.h"
#include "ui/editor/memo_input.h"

namespace marlo {

int TMemoCommands::PageLines() const {
  return memo_.PageLines();
}

int TMemoCommands::FirstVisibleLine() const {
  return memo_.FirstVisibleLine();
}

void TMemoCommands::ScrollLines(int delta) {
  memo_.ScrollLines(delta);
}

void TMemoCommands::Find() {
  if (memo_.OnFind) memo_.OnFind();
}

void TMemoCommands::Replace() {
  if (memo_.OnReplace) memo_.OnReplace();
}

void TMemoCommands::FindAgain() {
  if (memo_.OnFindAgain) memo_.OnFindAgain();
}

void TMemoCommands::GotoLine() {
  if (memo_.OnGotoLine) memo_.OnGotoLine();
}

void TMemoCommands::EndMouseAction() {
  memo_.input_->EndMouseAction();
}

int TMemoCommands::ChooseCodeTemplate(const std::vector<const TMemoCodeTemplate*>& candidates) {
  if (memo_.OnChooseCodeTemplate) return memo_.OnChooseCodeTemplate(candidates);
  const QRect caret = memo_.CaretRect();
  QPoint at = memo_.viewport()->mapToGlobal(caret.isEmpty() ? QPoint(memo_.Geometry().TextLeft, 0)
                                                            : caret.bottomLeft());
  return TCodeTemplateList::Choose(&memo_, at, candidates, memo_.CodePage());
}

} // namespace marlo
