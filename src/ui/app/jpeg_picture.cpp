#include "ui/app/jpeg_picture.h"

#include "core/platform/error.h"
#include "core/platform/file_system.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace marlo {

namespace {

// libjpeg reports a fatal error through error_exit, which must not return: it jumps back
// into LoadJpegPicture, which turns it into an exception once libjpeg's state is freed.
struct TJpegError {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr info) {
  auto* error = reinterpret_cast<TJpegError*>(info->err);
  (*info->err->format_message)(info, error->Message);
  std::longjmp(error->Jump, 1);
}

void OutputMessage(j_common_ptr) {
  // Warnings of a damaged but readable picture are not the user's concern.
}

} // namespace

QImage LoadJpegPicture(const std::string& fileName) {
  platform::FileBuffer file = platform::ReadWholeFile(fileName);
  jpeg_decompress_struct info;
  TJpegError error;
  info.err = jpeg_std_error(&error.Manager);
  error.Manager.error_exit = ErrorExit;
  error.Manager.output_message = OutputMessage;
  error.Message[0] = '\0';
  // Everything the jump may skip over lives outside this frame's locals that change.
  static thread_local QImage image;
  image = QImage();
  if (setjmp(error.Jump)) {
    jpeg_destroy_decompress(&info);
    image = QImage();
    throw Error("Can't read the picture " + fileName + ": " + error.Message);
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(file.data.get()),
               static_cast<unsigned long>(file.size));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                 QImage::Format_RGB888);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  QImage result = image;
  image = QImage();
  return result;
}

} // namespace marlo
