#include "jpeg_metadata.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <pixavue/platform/gdiplus/property_tags.h>

#include "pixels_per_metre.h"

namespace pixavue::platform::gdiplus {
namespace {

constexpr std::uint16_t kExifUnitInch = 2;
constexpr std::uint16_t kExifUnitCentimetre = 3;

struct FreeDeleter {
  void operator()(JOCTET* p) const noexcept { std::free(p); }
};

std::optional<float> RationalProperty(const PropertyStore& properties, PROPID id) {
  const StoredProperty* item = properties.Find(id);
  if (item == nullptr || item->type != PropertyTagTypeRational || item->value.size() < 8) return std::nullopt;
  std::uint32_t numerator = 0, denominator = 0;
  std::memcpy(&numerator, item->value.data(), 4);
  std::memcpy(&denominator, item->value.data() + 4, 4);
  if (numerator == 0 || denominator == 0) return std::nullopt;
  return static_cast<float>(static_cast<double>(numerator) / denominator);
}

std::uint16_t ExifResolutionUnit(const PropertyStore& properties) {
  const StoredProperty* item = properties.Find(PropertyTagResolutionUnit);
  if (item == nullptr || item->type != PropertyTagTypeShort || item->value.size() < 2) return kExifUnitInch;
  std::uint16_t unit = 0;
  std::memcpy(&unit, item->value.data(), 2);
  return unit;
}

std::optional<Resolution> ExifResolution(const PropertyStore& properties) {
  const std::optional<float> x = RationalProperty(properties, PropertyTagXResolution);
  const std::optional<float> y = RationalProperty(properties, PropertyTagYResolution);
  if (!x || !y) return std::nullopt;
  switch (ExifResolutionUnit(properties)) {
    case kExifUnitInch:
      return Resolution{*x, *y};
    case kExifUnitCentimetre:
      return Resolution{*x * kCentimetresPerInch, *y * kCentimetresPerInch};
    default:
      return std::nullopt;
  }
}

// JFIF density unit 1 is dots per inch, 2 dots per centimetre; 0 gives
// only the aspect ratio.
std::optional<Resolution> JfifResolution(const jpeg_decompress_struct& cinfo) {
  if (!cinfo.saw_JFIF_marker || cinfo.X_density == 0 || cinfo.Y_density == 0) return std::nullopt;
  const float x = cinfo.X_density, y = cinfo.Y_density;
  switch (cinfo.density_unit) {
    case 1:
      return Resolution{x, y};
    case 2:
      return Resolution{x * kCentimetresPerInch, y * kCentimetresPerInch};
    default:
      return std::nullopt;
  }
}

void AddTable(const JQUANT_TBL* table, PROPID id, PropertyStore& properties) {
  if (table == nullptr) return;
  std::array<std::uint16_t, DCTSIZE2> values{};
  std::copy(std::begin(table->quantval), std::end(table->quantval), values.begin());
  properties.SetShorts(id, values);
}

}  // namespace

std::span<const std::uint8_t> FindExifBlock(const jpeg_decompress_struct& cinfo) {
  for (jpeg_saved_marker_ptr marker = cinfo.marker_list; marker != nullptr; marker = marker->next) {
    if (marker->marker != JPEG_APP0 + 1 || marker->data_length <= kExifSignature.size()) continue;
    const std::span<const std::uint8_t> data(marker->data, marker->data_length);
    if (std::equal(kExifSignature.begin(), kExifSignature.end(), data.begin())) {
      return data.subspan(kExifSignature.size());
    }
  }
  return {};
}

std::vector<std::uint8_t> ReadIccProfile(jpeg_decompress_struct& cinfo) {
  JOCTET* raw = nullptr;
  unsigned int length = 0;
  if (!jpeg_read_icc_profile(&cinfo, &raw, &length)) return {};
  const std::unique_ptr<JOCTET, FreeDeleter> owned(raw);
  return std::vector<std::uint8_t>(raw, raw + length);
}

std::optional<Resolution> FindResolution(const jpeg_decompress_struct& cinfo, const PropertyStore& properties) {
  if (auto jfif = JfifResolution(cinfo)) return jfif;
  return ExifResolution(properties);
}

void AddQuantizationTables(const jpeg_decompress_struct& cinfo, PropertyStore& properties) {
  if (cinfo.num_components < 1 || cinfo.comp_info == nullptr) return;
  const auto tableOf = [&](int component) -> const JQUANT_TBL* {
    const int slot = cinfo.comp_info[component].quant_tbl_no;
    return slot >= 0 && slot < NUM_QUANT_TBLS ? cinfo.quant_tbl_ptrs[slot] : nullptr;
  };
  AddTable(tableOf(0), PropertyTagLuminanceTable, properties);
  if (cinfo.num_components >= 3) AddTable(tableOf(1), PropertyTagChrominanceTable, properties);
}

}  // namespace pixavue::platform::gdiplus
