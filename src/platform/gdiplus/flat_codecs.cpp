// Listing the codecs and saving images.

#include <string_view>

#include <pixavue/platform/gdiplus/gdiplus_flat.h>
#include <pixavue/platform/ole/atomic_file_write.h>

#include "codec_registry.h"
#include "file_name.h"
#include "image.h"
#include "session.h"

namespace pixavue::platform {
namespace {

GpStatus CodecsSize(std::span<const gdiplus::CodecEntry* const> entries, UINT32* count, UINT32* size) {
  if (count == nullptr || size == nullptr) return InvalidParameter;
  if (!gdiplus::SessionActive()) return GdiplusNotInitialized;
  *count = static_cast<UINT32>(entries.size());
  *size = gdiplus::CodecInfoBlockSize(entries);
  return Ok;
}

GpStatus Codecs(std::span<const gdiplus::CodecEntry* const> entries, UINT32 count, UINT32 size,
                ImageCodecInfo* block) {
  if (block == nullptr) return InvalidParameter;
  if (!gdiplus::SessionActive()) return GdiplusNotInitialized;
  if (count != entries.size() || size != gdiplus::CodecInfoBlockSize(entries)) return InvalidParameter;
  gdiplus::FillCodecInfoBlock(entries, block);
  return Ok;
}

}  // namespace

GpStatus gdiplus::EncodeImage(const GpImage& image, const CLSID& clsidEncoder, const EncoderParameters* params,
                              std::vector<std::uint8_t>& out) {
  const gdiplus::CodecEntry* encoder = gdiplus::EncoderByClsid(clsidEncoder);
  if (encoder == nullptr) return FileNotFound;  // no encoder with that class id
  if (image.type != ImageTypeBitmap) return NotImplemented;
  if (image.lock) return WrongState;
  try {
    return encoder->encode(gdiplus::EncodeSource{image.frame, image.properties}, params, out);
  } catch (const std::bad_alloc&) {
    return OutOfMemory;
  }
}

GpStatus GdipGetImageEncodersSize(UINT32* numEncoders, UINT32* size) {
  return CodecsSize(gdiplus::EncoderEntries(), numEncoders, size);
}

GpStatus GdipGetImageEncoders(UINT32 numEncoders, UINT32 size, ImageCodecInfo* encoders) {
  return Codecs(gdiplus::EncoderEntries(), numEncoders, size, encoders);
}

GpStatus GdipGetImageDecodersSize(UINT32* numDecoders, UINT32* size) {
  return CodecsSize(gdiplus::DecoderEntries(), numDecoders, size);
}

GpStatus GdipGetImageDecoders(UINT32 numDecoders, UINT32 size, ImageCodecInfo* decoders) {
  return Codecs(gdiplus::DecoderEntries(), numDecoders, size, decoders);
}

// The file is replaced only once the whole encoded image is written, so a
// failed save never leaves a damaged file behind (also when the image was
// loaded from the file it is saved to: loading reads the file whole).
GpStatus GdipSaveImageToFile(GpImage* image, const WCHAR* filename, const CLSID* clsidEncoder,
                             const EncoderParameters* encoderParams) {
  GpStatus status = clsidEncoder == nullptr ? InvalidParameter : gdiplus::CheckImage(image);
  if (status != Ok) return status;
  auto path = gdiplus::PathFromWide(filename);
  if (!path) return InvalidParameter;
  std::vector<std::uint8_t> bytes;
  status = gdiplus::EncodeImage(*image, *clsidEncoder, encoderParams, bytes);
  if (status != Ok) return status;
  const std::string_view content(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const HRESULT written = ReplaceFileAtomically(*path, content);
  if (written == S_OK) return Ok;
  return written == STG_E_ACCESSDENIED ? AccessDenied : Win32Error;
}

}  // namespace pixavue::platform
