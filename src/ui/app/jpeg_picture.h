#pragma once
// JPEG pictures decoded with libjpeg: the about box's banner.
#include <QImage>

#include <string>

namespace marlo {

// Decodes the JPEG file. Raises Error naming the file when it cannot be read or is not a
// JPEG picture libjpeg can decode.
QImage LoadJpegPicture(const std::string& fileName);

} // namespace marlo
