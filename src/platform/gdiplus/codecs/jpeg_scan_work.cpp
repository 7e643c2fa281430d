#include "jpeg_scan_work.h"

#include <jerror.h>

#include "../load_budget.h"

namespace pixavue::platform::gdiplus {
namespace {

constexpr std::uint64_t kBlockBytes = DCTSIZE2 * sizeof(JCOEF);
// Reading a scan header and preparing its Huffman tables, whatever its size.
constexpr std::uint64_t kScanSetupUnits = std::uint64_t{1} << 16;

std::uint64_t RoundUp(std::uint64_t value, std::uint64_t multiple) {
  return multiple == 0 ? value : (value + multiple - 1) / multiple * multiple;
}

void ChargeNewScan(j_common_ptr common) {
  auto* cinfo = reinterpret_cast<j_decompress_ptr>(common);
  auto* work = reinterpret_cast<ScanWork*>(cinfo->progress);
  if (cinfo->input_scan_number == work->chargedScan) return;
  work->chargedScan = cinfo->input_scan_number;
  if (!ChargeLoadWork(ScanWorkUnits(*cinfo))) {
    common->err->msg_code = JERR_BAD_PROGRESSION;
    common->err->error_exit(common);
  }
}

}  // namespace

void ScanWork::Attach(jpeg_decompress_struct& cinfo) noexcept {
  manager.progress_monitor = ChargeNewScan;
  cinfo.progress = &manager;
}

std::uint64_t BufferedCoefficientBytes(const jpeg_decompress_struct& cinfo) noexcept {
  const bool multipleScans = cinfo.progressive_mode || cinfo.comps_in_scan < cinfo.num_components;
  if (!multipleScans || cinfo.comp_info == nullptr) return 0;
  std::uint64_t bytes = 0;
  for (int c = 0; c < cinfo.num_components; ++c) {
    const jpeg_component_info& component = cinfo.comp_info[c];
    // libjpeg pads each array to whole MCUs of its component.
    const std::uint64_t across = RoundUp(component.width_in_blocks, static_cast<std::uint64_t>(component.h_samp_factor));
    const std::uint64_t down = RoundUp(component.height_in_blocks, static_cast<std::uint64_t>(component.v_samp_factor));
    bytes += across * down * kBlockBytes;
  }
  return bytes;
}

std::uint64_t ScanWorkUnits(const jpeg_decompress_struct& cinfo) noexcept {
  std::uint64_t units = kScanSetupUnits;
  for (int i = 0; i < cinfo.comps_in_scan && i < MAX_COMPS_IN_SCAN; ++i) {
    const jpeg_component_info* component = cinfo.cur_comp_info[i];
    if (component == nullptr) continue;
    units += std::uint64_t{component->width_in_blocks} * component->height_in_blocks * kBlockBytes;
  }
  return units;
}

}  // namespace pixavue::platform::gdiplus
