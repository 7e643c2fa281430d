// Format names: the slot's own, or the one of the raw-format GUID, looked up
// by its upper-case braced text.

#include "format_names.h"

#include <array>
#include <string_view>

#include <pixavue/engine/image_queries.h>
#include <pixavue/engine/image_store.h>
#include <pixavue/platform/gdiplus/gdiplus_flat.h>

namespace pixavue::engine {
namespace {

struct RawFormatName {
  std::string_view guidText;
  std::string_view name;
};

constexpr std::array<RawFormatName, 11> kRawFormatNames{{
    {"{B96B3CA9-0728-11D3-9D7B-0000F81EF32E}", "UNKNOWN"},
    {"{B96B3CAA-0728-11D3-9D7B-0000F81EF32E}", "Memory BMP"},
    {"{B96B3CAB-0728-11D3-9D7B-0000F81EF32E}", "BMP"},
    {"{B96B3CAC-0728-11D3-9D7B-0000F81EF32E}", "EMF"},
    {"{B96B3CAD-0728-11D3-9D7B-0000F81EF32E}", "WMF"},
    {"{B96B3CAE-0728-11D3-9D7B-0000F81EF32E}", "JPEG"},
    {"{B96B3CAF-0728-11D3-9D7B-0000F81EF32E}", "PNG"},
    {"{B96B3CB0-0728-11D3-9D7B-0000F81EF32E}", "GIF"},
    {"{B96B3CB1-0728-11D3-9D7B-0000F81EF32E}", "TIFF"},
    {"{B96B3CB2-0728-11D3-9D7B-0000F81EF32E}", "EXIF"},
    {"{B96B3CB5-0728-11D3-9D7B-0000F81EF32E}", "ICON"},
}};

}  // namespace

std::string FormatNameFromRawFormat(const platform::GUID& rawFormat) {
  const std::string text = platform::GuidToString(rawFormat);
  for (const RawFormatName& entry : kRawFormatNames) {
    if (entry.guidText == text) return std::string(entry.name);
  }
  return "Undefined";
}

std::string FormatNameOfHandle(platform::GpImage* image) {
  platform::GUID rawFormat;
  if (platform::GdipGetImageRawFormat(image, &rawFormat) != platform::Ok) return {};
  return FormatNameFromRawFormat(rawFormat);
}

std::string GetFormatName(ImageId id) {
  if (const ImageSlot* slot = SlotOf(id)) return slot->FormatName;
  return FormatNameOfHandle(NativeHandle(id));
}

}  // namespace pixavue::engine
