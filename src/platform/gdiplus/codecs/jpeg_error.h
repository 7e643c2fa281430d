#pragma once
// libjpeg error handling as status codes. libjpeg reports a fatal error by
// calling error_exit, which must not return: ours long-jumps back to the
// point the codec set with setjmp(manager.jump). Warnings are counted but
// never printed.

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t first

#include <jpeglib.h>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

namespace pixavue::platform::gdiplus {

struct JpegErrorManager final {
  jpeg_error_mgr base;  // first member: libjpeg only sees this part
  std::jmp_buf jump;
};

// Sets up `manager` and returns the pointer to store in cinfo.err.
jpeg_error_mgr* InitJpegErrors(JpegErrorManager& manager) noexcept;

// The status for the fatal error libjpeg last reported: OutOfMemory for
// memory and size limits, UnknownImageFormat for codings libjpeg-turbo
// does not decode, InvalidParameter for damaged data.
GpStatus StatusForJpegError(const jpeg_error_mgr& errors) noexcept;

}  // namespace pixavue::platform::gdiplus
