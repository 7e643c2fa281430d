#include "page_files.h"

#include <pixavue/engine/image_store.h>
#include <pixavue/engine/temp_files.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>

#include "wide_path.h"

namespace pixavue::engine {

using namespace pixavue::platform;

QuorvexStatus SavePageToTempFile(ImageId image, DocumentKind kind, std::string& path) {
  path = MakeTempFileName();
  // No temporary file can be made: the failure the library reports for a
  // file it cannot write.
  if (path.empty()) return QuorvexStatus::Win32Error;
  const QuorvexStatus status = kind == DocumentKind::Tiff ? SaveAsTiff(image, path, EncoderValueCompressionLZW, 0)
                                                          : SaveAsPng(image, path);
  if (status != QuorvexStatus::OK) {
    DeleteFileIgnoringErrors(path);
    path.clear();
  }
  return status;
}

// Page files are written by the savers above, one page each, in formats the
// imaging library reads; its decoder reads them directly.
QuorvexStatus LoadPageFile(const std::string& path, ImageId& page) {
  page = kNoImage;
  GpBitmap* bitmap = nullptr;
  const GpStatus status = GdipCreateBitmapFromFile(WidePath(path).c_str(), &bitmap);
  if (status != Ok) return FromImagingStatus(status);
  RegisterImage(bitmap, "", "", SourceKind::GdiplusFile, page);
  if (page == kNoImage) {
    GdipDisposeImage(bitmap);
    return QuorvexStatus::OutOfMemory;
  }
  return QuorvexStatus::OK;
}

}  // namespace pixavue::engine
