#pragma once
// Where bytes meet Qt text, one way for each kind of text: document and language texts
// go through the code page, file names through the system's file-name encoding, and the
// core's error texts (which may quote a file name or the system's reason) through the
// locale's.
#include "core/platform/code_page.h"

#include <QByteArray>
#include <QFile>
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

inline QString PathToQString(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

inline std::string QStringToPath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

inline QString MessageToQString(std::string_view text) {
  return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace marlo
