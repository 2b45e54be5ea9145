#include "core/text/clipboard.h"

namespace marlo {

namespace {
TProcessClipboard& ProcessClipboard() {
  static TProcessClipboard clipboard;
  return clipboard;
}
TClipboard* installed = nullptr;
} // namespace

TClipboard& TClipboard::Current() {
  return installed ? *installed : ProcessClipboard();
}

void TClipboard::Install(TClipboard* clipboard) {
  installed = clipboard;
}

} // namespace marlo
