#pragma once
// The Huffman-coded data of a JPEG scan as this layer's own decoder reads it
// (the JPEG library here decodes 8-bit DCT data only). The reader never
// looks past its span: a marker or the end of the data ends the coded bits,
// further bits read as zero and the overrun is remembered, so a scan that
// needs more data than it has is known to be damaged.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace pixavue::platform::gdiplus {

// A table of a DHT segment: code counts for lengths 1..16 and the symbols.
class WideJpegHuffmanTable final {
 public:
  // False when the counts hold more than 256 codes or more codes of one
  // length than the lengths before them leave room for.
  bool Build(const std::array<std::uint8_t, 16>& counts, std::span<const std::uint8_t> symbols);
  bool defined() const { return defined_; }

 private:
  friend class WideJpegBitReader;
  bool defined_ = false;
  std::array<std::int32_t, 18> maxCode_{};      // largest code of each length, -1 when none
  std::array<std::int32_t, 17> valueOffset_{};  // symbol index minus first code of each length
  std::array<std::uint8_t, 256> symbols_{};
};

class WideJpegBitReader final {
 public:
  // `data` starts at the first byte after the scan header.
  explicit WideJpegBitReader(std::span<const std::uint8_t> data) : data_(data) {}

  std::uint32_t Bits(int count);
  // The next Huffman symbol; -1 for a code the table does not hold.
  int Symbol(const WideJpegHuffmanTable& table);
  // A difference of `size` bits, sign-extended as JPEG codes it.
  std::int32_t Difference(int size);

  // Drops the bits left in the current byte and reads the restart marker
  // RSTn with n = `index` % 8; false when any other byte is there.
  bool Restart(std::uint32_t index);

  // Whether bits were taken beyond the coded data.
  bool overrun() const { return overrun_; }
  // Offset of the first byte after the coded data read so far.
  std::size_t position() const { return position_; }

 private:
  void Fill();

  std::span<const std::uint8_t> data_;
  std::size_t position_ = 0;
  std::uint32_t buffer_ = 0;
  int available_ = 0;
  bool atMarker_ = false;
  bool overrun_ = false;
};

}  // namespace pixavue::platform::gdiplus
