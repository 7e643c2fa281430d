#pragma once
// The contract between the flat interface and the codecs. A decoder turns
// the whole encoded file into a DecodedImage; a multi-frame format also
// hands back a FrameSource that decodes any other frame on request. An
// encoder turns the active frame of an image into file bytes.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

#include "frame.h"
#include "property_store.h"

namespace pixavue::platform::gdiplus {

// Encoded bytes shared between an image and its frame source, which may
// outlive the call that read them.
using EncodedBytes = std::shared_ptr<const std::vector<std::uint8_t>>;

struct DecodeOptions final {
  // Apply an embedded ICC profile, converting the pixels to sRGB (the
  // colour-managed entry points). Without it the profile is ignored.
  bool useEmbeddedColorManagement = false;
};

// Decodes frames of a multi-frame file on request. Frame indices run from 0
// to FrameCount() - 1; DecodeFrame replaces `frame` and `properties`.
class FrameSource {
 public:
  virtual ~FrameSource() = default;
  virtual std::uint32_t FrameCount() const = 0;
  virtual GpStatus DecodeFrame(std::uint32_t index, Frame& frame, PropertyStore& properties) = 0;
};

// Header data of a WMF or EMF file; playback comes with the drawing layer.
struct MetafileInfo final {
  bool enhanced = false;      // EMF, else WMF
  bool placeable = false;     // WMF with the 22-byte placeable header
  GpRect boundsPixels;        // frame in device pixels at dpi
  float dpiX = kDefaultDpi;
  float dpiY = kDefaultDpi;
};

struct DecodedImage final {
  GUID rawFormat{};
  Frame frame;                          // frame 0 (bitmaps)
  PropertyStore properties;             // of frame 0
  std::unique_ptr<FrameSource> frames;  // set only when there are 2 or more frames
  GUID frameDimension{};                // FrameDimensionPage or FrameDimensionTime
  bool isMetafile = false;
  MetafileInfo metafile;
};

using DecodeFunction = GpStatus (*)(const EncodedBytes& data, const DecodeOptions& options, DecodedImage& out);

// Everything an encoder needs of the image being saved.
struct EncodeSource final {
  const Frame& frame;
  const PropertyStore& properties;
};

// Returns the encoded file in `out`. Parameters may be null. Unknown
// parameter GUIDs are ignored; a known parameter with a wrong type or value
// gives InvalidParameter.
using EncodeFunction = GpStatus (*)(const EncodeSource& source, const EncoderParameters* params,
                                    std::vector<std::uint8_t>& out);

// Decoders (codecs/<format>_decoder.cpp).
GpStatus DecodeBmp(const EncodedBytes& data, const DecodeOptions& options, DecodedImage& out);
GpStatus DecodePng(const EncodedBytes& data, const DecodeOptions& options, DecodedImage& out);
GpStatus DecodeJpeg(const EncodedBytes& data, const DecodeOptions& options, DecodedImage& out);
GpStatus DecodeGif(const EncodedBytes& data, const DecodeOptions& options, DecodedImage& out);
GpStatus DecodeTiff(const EncodedBytes& data, const DecodeOptions& options, DecodedImage& out);
GpStatus DecodeIcon(const EncodedBytes& data, const DecodeOptions& options, DecodedImage& out);
GpStatus DecodeMetafile(const EncodedBytes& data, const DecodeOptions& options, DecodedImage& out);

// Encoders (codecs/<format>_encoder.cpp).
GpStatus EncodeBmp(const EncodeSource& source, const EncoderParameters* params, std::vector<std::uint8_t>& out);
GpStatus EncodePng(const EncodeSource& source, const EncoderParameters* params, std::vector<std::uint8_t>& out);
GpStatus EncodeJpeg(const EncodeSource& source, const EncoderParameters* params, std::vector<std::uint8_t>& out);
GpStatus EncodeGif(const EncodeSource& source, const EncoderParameters* params, std::vector<std::uint8_t>& out);
GpStatus EncodeTiff(const EncodeSource& source, const EncoderParameters* params, std::vector<std::uint8_t>& out);

// Finds the parameter with `guid` in `params` (null-safe).
const EncoderParameter* FindEncoderParameter(const EncoderParameters* params, const GUID& guid);

}  // namespace pixavue::platform::gdiplus
