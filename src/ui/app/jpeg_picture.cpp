#include "ui/app/jpeg_picture.h"

#include "core/error.h"
#include "core/platform/file_system.h"
#include "picture/jpeg_decoder.h"

namespace marlo {

QImage LoadJpegPicture(const std::string& fileName) {
  platform::TFileBuffer file = platform::ReadWholeFile(fileName);
  TRgbPicture picture;
  try {
    picture = DecodeJpeg(reinterpret_cast<const uint8_t*>(file.data.get()), file.size);
  } catch (const Error& e) {
    throw Error("Can't read the picture " + fileName + ": " + e.what());
  }
  QImage image(picture.Rgb.data(), picture.Width, picture.Height,
               static_cast<qsizetype>(picture.Width) * 3, QImage::Format_RGB888);
  return image.copy(); // the pixels above go with `picture`
}

} // namespace marlo
