#pragma once
// Small WMF and EMF files for the metafile tests. Records come from
// libuemf's record writers, so their layout does not depend on the reader
// under test; the file headers are written here.

#include <uemf.h>
#include <uwmf.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace pixavue::platform::test {

class ByteWriter final {
 public:
  ByteWriter& U16(std::uint32_t v) {
    data.insert(data.end(), {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)});
    return *this;
  }
  ByteWriter& U32(std::uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
  ByteWriter& Append(const std::vector<std::uint8_t>& more) {
    data.insert(data.end(), more.begin(), more.end());
    return *this;
  }
  std::vector<std::uint8_t> data;
};

// The record that ends every WMF: size 3 words, function 0.
inline const std::vector<std::uint8_t> kEndRecord = {3, 0, 0, 0, 0, 0};

// The 18-byte standard WMF header followed by `records`.
inline std::vector<std::uint8_t> Wmf(const std::vector<std::uint8_t>& records, std::uint16_t version = 0x300) {
  ByteWriter out;
  out.U16(1).U16(9).U16(version).U32(static_cast<std::uint32_t>((18 + records.size()) / 2)).U16(0).U32(5).U16(0);
  return out.Append(records).data;
}

// A placeable header with its checksum in front of `wmf`.
inline std::vector<std::uint8_t> Placeable(std::int16_t left, std::int16_t top, std::int16_t right, std::int16_t bottom,
                                           std::uint16_t inch, const std::vector<std::uint8_t>& wmf) {
  ByteWriter out;
  out.U32(0x9AC6CDD7u).U16(0);
  for (std::int16_t v : {left, top, right, bottom}) out.U16(static_cast<std::uint16_t>(v));
  out.U16(inch).U32(0);
  std::uint16_t checksum = 0;
  for (std::size_t i = 0; i < 20; i += 2) checksum ^= static_cast<std::uint16_t>(out.data[i] | (out.data[i + 1] << 8));
  return out.U16(checksum).Append(wmf).data;
}

// WMF records from libuemf (sizes in 16-bit words), ended by the end record.
class WmfRecords final {
 public:
  WmfRecords& Add(char* record) {
    std::uint32_t words = 0;
    std::memcpy(&words, record, 4);
    bytes_.insert(bytes_.end(), record, record + std::size_t{words} * 2);
    std::free(record);
    return *this;
  }
  WmfRecords& Raw(const std::vector<std::uint8_t>& record) {
    bytes_.insert(bytes_.end(), record.begin(), record.end());
    return *this;
  }
  std::vector<std::uint8_t> Finish() {
    Add(U_WMREOF_set());
    return bytes_;
  }

 private:
  std::vector<std::uint8_t> bytes_;
};

// An EMF whose frame is width x height pixels of a reference device with
// one pixel a millimetre (25.4 dpi).
class EmfFile final {
 public:
  EmfFile(std::int32_t width, std::int32_t height) {
    const U_RECTL bounds{0, 0, width - 1, height - 1}, frame{0, 0, width * 100, height * 100};
    Add(U_EMRHEADER_set(bounds, frame, nullptr, 0, nullptr, U_SIZEL{1000, 1000}, U_SIZEL{1000, 1000}, 0));
  }
  EmfFile& Add(char* record) {
    std::uint32_t size = 0;
    std::memcpy(&size, record + 4, 4);
    bytes_.insert(bytes_.end(), record, record + size);
    std::free(record);
    ++records_;
    return *this;
  }
  // Bytes as they are, for records no writer makes.
  EmfFile& Raw(const std::vector<std::uint8_t>& record) {
    bytes_.insert(bytes_.end(), record.begin(), record.end());
    ++records_;
    return *this;
  }
  // Appends the end record and completes the header's totals.
  std::vector<std::uint8_t> Finish() {
    ByteWriter eof;
    eof.U32(U_EMR_EOF).U32(20).U32(0).U32(16).U32(20);
    bytes_.insert(bytes_.end(), eof.data.begin(), eof.data.end());
    ++records_;
    Put32(48, static_cast<std::uint32_t>(bytes_.size()));
    Put32(52, records_);
    bytes_[56] = 32;  // handles
    return bytes_;
  }

 private:
  void Put32(std::size_t at, std::uint32_t v) { std::memcpy(bytes_.data() + at, &v, 4); }
  std::vector<std::uint8_t> bytes_;
  std::uint32_t records_ = 0;
};

// A 2 x 2 24-bit DIB, bottom-up: the colours are given top row first.
struct TestDib final {
  explicit TestDib(const std::uint32_t (&rgb)[4]) {
    info = bitmapinfo_set(bitmapinfoheader_set(2, 2, 1, 24, U_BI_RGB, 16, 0, 0, 0, 0), nullptr);
    // Rows of 6 bytes padded to 8; the bottom row (entries 2, 3) first.
    for (int index : {2, 3, -1, 0, 1, -1}) {
      if (index < 0) {
        bits.insert(bits.end(), {0, 0});
        continue;
      }
      const std::uint32_t c = rgb[index];
      bits.insert(bits.end(), {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF),
                               static_cast<char>((c >> 16) & 0xFF)});
    }
  }
  ~TestDib() { std::free(info); }
  TestDib(const TestDib&) = delete;
  TestDib& operator=(const TestDib&) = delete;

  PU_BITMAPINFO info = nullptr;
  std::vector<char> bits;
};

}  // namespace pixavue::platform::test
