#pragma once
// Document bytes on the screen and from the keyboard: the edge where bytes meet Qt text.
#include "core/platform/code_page.h"

#include <QString>

#include <string>
#include <string_view>

namespace marlo {

inline QString BytesToQString(std::string_view bytes, const platform::TCodePage& page) {
  QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  QChar* d = out.data();
  for (size_t i = 0; i < bytes.size(); ++i)
    d[i] = QChar(page.ToUnicode(static_cast<unsigned char>(bytes[i])));
  return out;
}

inline std::string QStringToBytes(const QString& text, const platform::TCodePage& page,
                                  char replacement = '?') {
  return page.Encode(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                         static_cast<size_t>(text.size())),
                     replacement);
}

} // namespace marlo
