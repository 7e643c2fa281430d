// TIFF decoding: every page of the file, page 0 at once and the others on
// request through a page source that keeps the file and its libtiff handle.

#include <memory>

#include <pixavue/platform/gdiplus/gdiplus_guids.h>

#include "../codec.h"
#include "../image_limits.h"
#include "tiff_io.h"
#include "tiff_page_decoder.h"

namespace pixavue::platform::gdiplus {
namespace {

class TiffPageSource final : public FrameSource {
 public:
  TiffPageSource(EncodedBytes bytes, const DecodeOptions& options)
      : bytes_(std::move(bytes)), options_(options), source_(std::make_unique<TiffMemorySource>(*bytes_)) {}

  // Opens the file and counts its pages; libtiff stops at a directory
  // chain that loops back.
  GpStatus Open() {
    tif_ = OpenTiffReader(*source_);
    if (!tif_) return InvalidParameter;
    const tdir_t pages = TIFFNumberOfDirectories(tif_.get());
    if (pages == 0) return InvalidParameter;
    if (pages > kMaxFrames) return OutOfMemory;
    pageCount_ = pages;
    return Ok;
  }

  std::uint32_t FrameCount() const override { return pageCount_; }

  GpStatus DecodeFrame(std::uint32_t index, Frame& frame, PropertyStore& properties) override {
    if (index >= pageCount_) return InvalidParameter;
    if (!TIFFSetDirectory(tif_.get(), index)) return InvalidParameter;
    return DecodeTiffPage(tif_.get(), *bytes_, options_, frame, properties);
  }

 private:
  EncodedBytes bytes_;
  DecodeOptions options_;
  std::unique_ptr<TiffMemorySource> source_;  // libtiff's client data: outlives the handle
  TiffHandle tif_;
  std::uint32_t pageCount_ = 0;
};

}  // namespace

GpStatus DecodeTiff(const EncodedBytes& data, const DecodeOptions& options, DecodedImage& out) {
  if (!data) return InvalidParameter;
  auto pages = std::make_unique<TiffPageSource>(data, options);
  GpStatus status = pages->Open();
  if (status != Ok) return status;
  DecodedImage decoded;
  status = pages->DecodeFrame(0, decoded.frame, decoded.properties);
  if (status != Ok) return status;
  decoded.rawFormat = ImageFormatTIFF;
  decoded.frameDimension = FrameDimensionPage;
  if (pages->FrameCount() >= 2) decoded.frames = std::move(pages);
  out = std::move(decoded);
  return Ok;
}

}  // namespace pixavue::platform::gdiplus
