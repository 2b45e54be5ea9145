#include "ui/editor/qt_clipboard.h"

#include "ui/qt_text.h"

#include <QClipboard>
#include <QGuiApplication>

namespace marlo {

std::string TQtClipboard::GetText() {
  // Characters the code page lacks cannot be typed either; they arrive as '?'.
  return QStringToBytes(QGuiApplication::clipboard()->text(), *page_);
}

void TQtClipboard::SetText(const std::string& text) {
  QGuiApplication::clipboard()->setText(BytesToQString(text, *page_));
}

void TQtClipboard::Clear() {
  QGuiApplication::clipboard()->clear();
}

bool TQtClipboard::OwnedByUs() {
  return QGuiApplication::clipboard()->ownsClipboard();
}

void TQtClipboard::SetCharSet(int charSet) {
  page_ = &platform::TCodePage::ForCharSet(charSet);
}

TQtClipboard& TQtClipboard::Installed() {
  static TQtClipboard clipboard;
  static bool installed = [] {
    TClipboard::Install(&clipboard);
    return true;
  }();
  (void)installed;
  return clipboard;
}

} // namespace marlo
