#pragma once
// The print preview: the pages of a print as the printer gets them, one in view at a
// time and painted only when shown, with a zoom, the page number and Print.
#include "ui/editor/memo_print.h"

#include <QDialog>

#include <memory>
#include <string>

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;

namespace marlo {

class TMemoPrintPreview : public QDialog {
  Q_OBJECT

public:
  // Previews `memo`'s text with its PrintOptions on `page`'s paper.
  TMemoPrintPreview(TCustomCodeMemo& memo, const std::string& fileName, const QPageLayout& page,
                    QWidget* parent = nullptr);
  ~TMemoPrintPreview() override;

  int Page() const { return page_; }
  int PageCount() const { return job_->PageCount(); }
  void SetPage(int page);
  // Percent of the page's size at 96 pixels per inch.
  void SetZoom(int percent);
  // Pages painted so far: a page is painted when it comes into view.
  long long PaintedPages() const { return paintedPages_; }
  QPushButton* PrintBut() const { return printBut_; }

protected:
  void keyPressEvent(QKeyEvent* e) override;

private:
  class TPageView;
  void Update();

  TMemoPrintCopy copy_;
  std::unique_ptr<TMemoPrintJob> job_;
  int page_ = 1;
  int zoom_ = 100;
  long long paintedPages_ = 0;
  TPageView* view_;
  QScrollArea* scroll_;
  QLabel* pageLabel_;
  QComboBox* zoomBox_;
  QPushButton *prevBut_, *nextBut_, *printBut_, *closeBut_;
};

// Shows the preview modally; true when its Print was pressed.
bool ShowPrintPreview(TCustomCodeMemo& memo, const std::string& fileName, const QPageLayout& page,
                      QWidget* parent);

} // namespace marlo
