#include "jpeg_error.h"

#include <jerror.h>

namespace pixavue::platform::gdiplus {
namespace {

[[noreturn]] void JumpOnError(j_common_ptr cinfo) {
  auto* manager = reinterpret_cast<JpegErrorManager*>(cinfo->err);
  std::longjmp(manager->jump, 1);
}

// Warnings (corrupt data, premature end) only count; trace messages are
// dropped.
void CountWarning(j_common_ptr cinfo, int level) {
  if (level < 0) ++cinfo->err->num_warnings;
}

void IgnoreMessage(j_common_ptr) {}

}  // namespace

jpeg_error_mgr* InitJpegErrors(JpegErrorManager& manager) noexcept {
  jpeg_error_mgr* errors = jpeg_std_error(&manager.base);
  errors->error_exit = JumpOnError;
  errors->emit_message = CountWarning;
  errors->output_message = IgnoreMessage;
  return errors;
}

GpStatus StatusForJpegError(const jpeg_error_mgr& errors) noexcept {
  switch (errors.msg_code) {
    case JERR_OUT_OF_MEMORY:
    case JERR_NO_BACKING_STORE:
    case JERR_IMAGE_TOO_BIG:
    case JERR_WIDTH_OVERFLOW:
      return OutOfMemory;
    case JERR_BAD_PRECISION:     // 12- and 16-bit samples
    case JERR_SOF_UNSUPPORTED:  // lossless and hierarchical coding
      return UnknownImageFormat;
    default:
      return InvalidParameter;
  }
}

}  // namespace pixavue::platform::gdiplus
