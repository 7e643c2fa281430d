#include "scaler_columns.h"

namespace pixavue::platform::gdiplus {
namespace {

// Above this share of used columns, reading the whole run (with the wide
// row loops) costs less than picking.
constexpr double kPickedShare = 0.4;

}  // namespace

void PickUsedColumns(std::int32_t taps, std::uint32_t sourceX, std::vector<std::int32_t>& first,
                     std::int32_t& inputCount, SourceColumns& reads) {
  std::vector<bool> used(static_cast<std::size_t>(inputCount), false);
  for (const std::int32_t f : first) {
    for (std::int32_t k = 0; k < taps; ++k) used[static_cast<std::size_t>(f + k)] = true;
  }
  // Position of each used input among the used ones; every window is used
  // whole, so its inputs stay consecutive.
  std::vector<std::int32_t> packed(used.size(), 0);
  std::vector<std::uint32_t> picks;
  for (std::size_t c = 0; c < used.size(); ++c) {
    packed[c] = static_cast<std::int32_t>(picks.size());
    if (used[c]) picks.push_back(sourceX + static_cast<std::uint32_t>(c));
  }
  if (static_cast<double>(picks.size()) > kPickedShare * inputCount) return;
  for (std::int32_t& f : first) f = packed[static_cast<std::size_t>(f)];
  inputCount = static_cast<std::int32_t>(picks.size());
  reads.picks = std::move(picks);
}

}  // namespace pixavue::platform::gdiplus
