#include "picture/jpeg_decoder.h"

#include "core/error.h"

#include <csetjmp>
#include <cstdio>
#include <string>

#include <jpeglib.h>

namespace marlo {

namespace {

// libjpeg reports a fatal error through error_exit, which must not return: it jumps back
// into Decode, which frees libjpeg's state and reports the message.
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

// Fills `picture`; returns false with the reason in `error.Message` on failure. No object
// with a destructor is created between setjmp and a possible longjmp in this frame.
bool Decode(const uint8_t* data, size_t size, TRgbPicture& picture, TJpegError& error,
            bool& tooLarge) {
  jpeg_decompress_struct info;
  info.err = jpeg_std_error(&error.Manager);
  error.Manager.error_exit = ErrorExit;
  error.Manager.output_message = OutputMessage;
  error.Message[0] = '\0';
  if (setjmp(error.Jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_calc_output_dimensions(&info);
  if (static_cast<long long>(info.output_width) * info.output_height > kMaxPicturePixels) {
    tooLarge = true;
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_start_decompress(&info);
  picture.Width = static_cast<int>(info.output_width);
  picture.Height = static_cast<int>(info.output_height);
  const size_t stride = size_t(3) * info.output_width;
  picture.Rgb.assign(stride * info.output_height, 0);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = picture.Rgb.data() + stride * info.output_scanline;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

} // namespace

TRgbPicture DecodeJpeg(const uint8_t* data, size_t size) {
  TRgbPicture picture;
  TJpegError error;
  bool tooLarge = false;
  if (!Decode(data, size, picture, error, tooLarge)) {
    if (tooLarge) throw Error("the picture is too large");
    throw Error(error.Message[0] ? std::string(error.Message) : std::string("not a JPEG picture"));
  }
  return picture;
}

} // namespace marlo
