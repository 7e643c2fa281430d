#include "page_files.h"

#include <pixavue/engine/image_loaders.h>
#include <pixavue/engine/image_store.h>
#include <pixavue/engine/temp_files.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>

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

// Page files are loaded as any file is (no dialog; a multi-frame page would
// stay in one decoder).
QuorvexStatus LoadPageFile(const std::string& path, ImageId& page) {
  FileLoadOptions options;
  options.inPlaceTiff = true;
  options.inPlaceGif = true;
  options.mayShowDialog = false;
  return LoadFromFile(path, options, page);
}

}  // namespace pixavue::engine
