#pragma once
// Questions about registered images. Outputs are 0 on any failure.

#include <cstdint>
#include <string>
#include <vector>

#include <pixavue/engine/image_id.h>
#include <pixavue/platform/gdiplus/gdiplus_types.h>
#include <pixavue/support/quorvex_status.h>

namespace pixavue::engine {

QuorvexStatus GetImageWidth(ImageId id, std::int32_t& width);
QuorvexStatus GetImageHeight(ImageId id, std::int32_t& height);
QuorvexStatus GetHorizontalResolution(ImageId id, float& dpi);
QuorvexStatus GetVerticalResolution(ImageId id, float& dpi);
QuorvexStatus GetPixelFormat(ImageId id, platform::PixelFormat& format);

// "BMP", "JPEG", "TIFF", "GIF", ... from the slot; for an unknown id, from the
// raw format of its handle ("" when that fails).
std::string GetFormatName(ImageId id);
// The format name of a raw-format GUID ("Undefined" for any other GUID).
std::string FormatNameFromRawFormat(const platform::GUID& rawFormat);

// Frame counts of the imaging library's own frames, only for "TIFF" (pages)
// and "GIF" (time) images; others give 0 with status OK.
QuorvexStatus GetTiffFrameCount(ImageId id, std::int32_t& count);
QuorvexStatus GetGifFrameCount(ImageId id, std::int32_t& count);
// Page counts of documents; UnsupportedImageFormat when id is not one.
QuorvexStatus GetTiffPageCount(ImageId id, std::int32_t& count);
QuorvexStatus GetGifPageCount(ImageId id, std::int32_t& count);
// Frame delays of an animated GIF document, hundredths of a second.
QuorvexStatus GetGifFrameDelays(ImageId id, std::vector<std::int32_t>& delays);

// 0-based current page; -1 when id is not that kind of document, 0 when absent.
std::int32_t CurrentTiffPage(ImageId id);
std::int32_t CurrentGifFrame(ImageId id);
bool IsMultiPageTiff(ImageId id);
bool IsAnimatedGif(ImageId id);
bool IsSplitTiff(ImageId id);
bool IsSplitGif(ImageId id);

}  // namespace pixavue::engine
