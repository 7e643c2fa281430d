#pragma once
// Page files of split documents: each page stored in a temporary file of its
// own (TIFF pages as LZW TIFF, GIF frames as PNG) and loaded back when the
// page is selected.

#include <string>

#include <pixavue/engine/image_id.h>
#include <pixavue/support/quorvex_status.h>

namespace pixavue::engine {

// Saves the image to a new temporary file in the page format of the
// document kind; path is that file on success, "" otherwise (no file is
// left behind).
QuorvexStatus SavePageToTempFile(ImageId image, DocumentKind kind, std::string& path);

// Loads a page file as a new image.
QuorvexStatus LoadPageFile(const std::string& path, ImageId& page);

}  // namespace pixavue::engine
