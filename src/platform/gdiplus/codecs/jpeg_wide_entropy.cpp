#include "jpeg_wide_entropy.h"

namespace pixavue::platform::gdiplus {

bool WideJpegHuffmanTable::Build(const std::array<std::uint8_t, 16>& counts, std::span<const std::uint8_t> symbols) {
  defined_ = false;
  std::size_t total = 0;
  for (std::uint8_t count : counts) total += count;
  if (total > symbols_.size() || total != symbols.size()) return false;
  std::int32_t code = 0;
  std::int32_t index = 0;
  for (int length = 1; length <= 16; ++length) {
    const std::int32_t count = counts[static_cast<std::size_t>(length - 1)];
    valueOffset_[static_cast<std::size_t>(length)] = index - code;
    code += count;
    index += count;
    // The code of all one bits is never used, as in the JPEG library.
    if (code >= (std::int32_t{1} << length)) return false;
    maxCode_[static_cast<std::size_t>(length)] = count > 0 ? code - 1 : -1;
    code <<= 1;
  }
  maxCode_[17] = 0x7FFFFFFF;
  for (std::size_t i = 0; i < total; ++i) symbols_[i] = symbols[i];
  defined_ = true;
  return true;
}

// One byte of coded data: 0xFF 0x00 stands for 0xFF; any other byte after
// 0xFF makes a marker, which ends the data without being consumed.
void WideJpegBitReader::Fill() {
  std::uint32_t byte = 0;
  if (!atMarker_ && position_ < data_.size()) {
    byte = data_[position_];
    if (byte != 0xFF) {
      ++position_;
    } else if (position_ + 1 < data_.size() && data_[position_ + 1] == 0x00) {
      position_ += 2;
    } else {
      atMarker_ = true;
      byte = 0;
      overrun_ = true;
    }
  } else {
    overrun_ = true;
  }
  buffer_ = (buffer_ << 8) | byte;
  available_ += 8;
}

std::uint32_t WideJpegBitReader::Bits(int count) {
  if (count <= 0) return 0;
  while (available_ < count) Fill();
  available_ -= count;
  return (buffer_ >> available_) & ((std::uint32_t{1} << count) - 1);
}

int WideJpegBitReader::Symbol(const WideJpegHuffmanTable& table) {
  std::int32_t code = 0;
  for (int length = 1; length <= 16; ++length) {
    code = (code << 1) | static_cast<std::int32_t>(Bits(1));
    if (code <= table.maxCode_[static_cast<std::size_t>(length)]) {
      const std::int32_t index = code + table.valueOffset_[static_cast<std::size_t>(length)];
      return table.symbols_[static_cast<std::size_t>(index)];
    }
  }
  return -1;
}

std::int32_t WideJpegBitReader::Difference(int size) {
  if (size == 0) return 0;
  const auto value = static_cast<std::int32_t>(Bits(size));
  return value < (std::int32_t{1} << (size - 1)) ? value - (std::int32_t{1} << size) + 1 : value;
}

bool WideJpegBitReader::Restart(std::uint32_t index) {
  available_ = 0;
  buffer_ = 0;
  atMarker_ = false;
  // Fill bytes (0xFF) may come before the marker.
  while (position_ + 1 < data_.size() && data_[position_] == 0xFF && data_[position_ + 1] == 0xFF) ++position_;
  if (position_ + 1 >= data_.size() || data_[position_] != 0xFF) return false;
  if (data_[position_ + 1] != 0xD0 + (index % 8)) return false;
  position_ += 2;
  return true;
}

}  // namespace pixavue::platform::gdiplus
