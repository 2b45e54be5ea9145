#pragma once
// A view without a window: a first visible line and a page height, scrolled so that the
// caret stays visible after every change of the model. The command-line front end and
// the tests drive the key table through it.
#include "core/text/key_view.h"
#include "core/text/memo_view.h"

namespace marlo {

class TCustomMemoSource;

class TSimpleKeyView : public TKeyView, public TMemoView {
public:
  TSimpleKeyView(TCustomMemoSource& source, int pageLines);
  ~TSimpleKeyView() override;
  TSimpleKeyView(const TSimpleKeyView&) = delete;
  TSimpleKeyView& operator=(const TSimpleKeyView&) = delete;

  int PageLines() const override { return pageLines_; }
  int FirstVisibleLine() const override { return firstLine_; }
  // Keeps the first line between 0 and the last line that still fills a page.
  void ScrollLines(int delta) override;
  void SetFirstVisibleLine(int line);
  void ScrollToCaret();

  void SourceChanged(TCustomMemoSource& source, const TChangeInfo& change) override;

private:
  int MaxFirstLine() const;

  TCustomMemoSource& source_;
  int pageLines_;
  int firstLine_ = 0;
};

} // namespace marlo
