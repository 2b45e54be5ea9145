#pragma once
// The pop-up list of code templates that Ctrl+J shows at the caret.
#include "core/platform/code_page.h"
#include "core/text/code_template.h"

#include <QFrame>

#include <vector>

class QListWidget;
class QEventLoop;

namespace marlo {

class TCodeTemplateList : public QFrame {
  Q_OBJECT

public:
  TCodeTemplateList(QWidget* parent, const std::vector<const TMemoCodeTemplate*>& candidates,
                    const platform::TCodePage& page);

  // Shows the list at `globalPos` until the user picks a template (its position in the
  // list) or leaves it (-1).
  static int Choose(QWidget* parent, QPoint globalPos,
                    const std::vector<const TMemoCodeTemplate*>& candidates,
                    const platform::TCodePage& page);

  QListWidget* List() const { return list_; }

protected:
  void hideEvent(QHideEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

private:
  void Finish(int chosen);

  QListWidget* list_;
  QEventLoop* loop_ = nullptr;
  int chosen_ = -1;
};

} // namespace marlo
