#pragma once
// The editor control as a document window sets it up.
#include "ui/editor/custom_code_memo.h"

namespace marlo {

class TCodeMemo : public TCustomCodeMemo {
  Q_OBJECT

public:
  explicit TCodeMemo(QWidget* parent = nullptr);

  // The switches, gutter, colours, font and the eight styles of a document window.
  void ConfigureAsDocument();
};

} // namespace marlo
