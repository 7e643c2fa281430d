// Writes the property items that belong in EXIF directories as a
// TIFF-structured block: header, IFD0, then the EXIF, GPS and Interop
// directories it points to, each followed by the values too large for its
// entries. Entries are sorted by tag; every directory and value starts on
// an even offset; there is no thumbnail directory.
//
// Which directory an item goes to:
// - GPS: ids 0x0000-0x001F, except the Interop pair below;
// - Interop: 0x1000-0x1002, InteropIndex (0x0001 as ASCII other than the
//   two-byte GPS reference "N"/"S") and InteropVersion (0x0002 not
//   RATIONAL, as GPSLatitude is);
// - EXIF: 0x829A, 0x829D, 0x8822-0x8835, 0x9000-0x94FF, 0xA000-0xA4FF, 0xA500;
// - not written: ids above 0xFFFF, the library's private ids
//   (0x5000-0x5FFF), the pointer tags (recomputed), tags describing the
//   stored image data or pointing into it (strips, tiles, JPEG interchange,
//   sample layout), the ICC profile (APP2), XMP, IPTC and Photoshop blocks
//   (their own segments) and padding;
// - IFD0: every other id.
// Items of an unknown type are written as UNDEFINED bytes; an item whose
// length is not a whole number of its elements is not written. A directory
// holds at most exif::kMaxDirectoryEntries entries, as many as the reader
// takes; items past that are left out.

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <optional>
#include <utility>

#include <pixavue/platform/gdiplus/property_tags.h>

#include "exif.h"
#include "exif_format.h"

namespace pixavue::platform::gdiplus {

namespace {

enum Directory : std::size_t { kPrimary, kExif, kGps, kInterop, kDirectoryCount };

constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kEntrySize = 12;
constexpr std::size_t kInlineSize = 4;
constexpr std::uint16_t kUndefinedType = 7;

// Inclusive id ranges that are never copied into a new EXIF block.
constexpr std::array<std::pair<PROPID, PROPID>, 23> kNotWritten = {{
    {0x00FE, 0x0103},  // subfile type, size, bits per sample, compression
    {0x0106, 0x010A},  // photometric, thresholding, cell size, fill order
    {0x0111, 0x0111},  // strip offsets
    {0x0115, 0x0119},  // samples per pixel, rows per strip, strip byte counts, sample range
    {0x011C, 0x011C},  // planar configuration
    {0x0120, 0x0121},  // free offsets and byte counts
    {0x0124, 0x0125},  // T4/T6 options
    {0x013D, 0x013D},  // predictor
    {0x0140, 0x0140},  // colour map
    {0x0142, 0x0145},  // tiles
    {0x014A, 0x014A},  // sub-IFDs
    {0x0152, 0x0155},  // extra samples, sample format and range
    {0x015B, 0x015B},  // JPEG tables
    {0x0200, 0x0209},  // old-style JPEG and thumbnail interchange
    {0x0212, 0x0212},  // YCbCr subsampling (the encoder's own)
    {0x02BC, 0x02BC},  // XMP
    {0x5000, 0x5FFF},  // the library's private ids
    {0x83BB, 0x83BB},  // IPTC
    {0x8649, 0x8649},  // Photoshop
    {exif::kExifPointerTag, exif::kExifPointerTag},
    {PropertyTagICCProfile, PropertyTagICCProfile},
    {exif::kGpsPointerTag, exif::kGpsPointerTag},
    {exif::kInteropPointerTag, exif::kInteropPointerTag},
}};

constexpr std::array<std::pair<PROPID, PROPID>, 6> kExifTags = {{
    {0x829A, 0x829A}, {0x829D, 0x829D}, {0x8822, 0x8835}, {0x9000, 0x94FF}, {0xA000, 0xA4FF}, {0xA500, 0xA500},
}};

constexpr PROPID kPadding = 0xEA1C;

template <std::size_t N>
bool InRanges(PROPID id, const std::array<std::pair<PROPID, PROPID>, N>& ranges) {
  return std::any_of(ranges.begin(), ranges.end(), [id](const auto& r) { return id >= r.first && id <= r.second; });
}

std::optional<Directory> DirectoryOf(const StoredProperty& item) {
  const PROPID id = item.id;
  if (id == 0x0001 && item.type == PropertyTagTypeASCII && item.value.size() != 2) return kInterop;
  if (id == 0x0002 && item.type != PropertyTagTypeRational) return kInterop;
  if (id <= 0x001F) return kGps;
  if (id >= 0x1000 && id <= 0x1002) return kInterop;
  if (id > 0xFFFF || id == kPadding || InRanges(id, kNotWritten)) return std::nullopt;
  if (InRanges(id, kExifTags)) return kExif;
  return kPrimary;
}

// One entry to write: its value in machine order, or the directory it
// points to.
struct OutEntry final {
  std::uint16_t tag = 0;
  std::uint16_t type = 0;
  std::uint32_t count = 0;
  std::size_t swapUnit = 1;
  std::span<const std::uint8_t> value;
  std::optional<Directory> target;

  std::size_t ExternalSize() const {
    return value.size() > kInlineSize ? value.size() + (value.size() & 1) : 0;
  }
};

std::optional<OutEntry> MakeEntry(const StoredProperty& item) {
  exif::FieldType field = exif::DescribeFieldType(item.type);
  std::uint16_t type = item.type;
  if (field.elementSize == 0 || field.propertyType != item.type) {
    field = exif::DescribeFieldType(kUndefinedType);
    type = kUndefinedType;
  }
  const std::size_t count = item.value.size() / field.elementSize;
  if (item.value.size() % field.elementSize != 0 || count > std::numeric_limits<std::uint32_t>::max()) {
    return std::nullopt;
  }
  return OutEntry{static_cast<std::uint16_t>(item.id), type, static_cast<std::uint32_t>(count), field.swapUnit,
                  item.value, std::nullopt};
}

OutEntry PointerEntry(std::uint16_t tag, Directory target) {
  return OutEntry{tag, PropertyTagTypeLong, 1, 4, {}, target};
}

std::size_t DirectorySize(const std::vector<OutEntry>& entries) {
  std::size_t size = 2 + entries.size() * kEntrySize + 4;
  for (const OutEntry& entry : entries) size += entry.ExternalSize();
  return size;
}

// Integers and values in the block's byte order at given offsets of a
// buffer already sized to hold them.
class BlockWriter final {
 public:
  BlockWriter(std::vector<std::uint8_t>& bytes, ByteOrder order) : bytes_(bytes), order_(order) {}

  void U16(std::size_t at, std::uint16_t value) { Unsigned(at, value, 2); }
  void U32(std::size_t at, std::uint32_t value) { Unsigned(at, value, 4); }
  void Value(std::size_t at, const OutEntry& entry) {
    std::copy(entry.value.begin(), entry.value.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(at));
    exif::ConvertByteOrder(std::span(bytes_).subspan(at, entry.value.size()), entry.swapUnit, order_);
  }

 private:
  void Unsigned(std::size_t at, std::uint32_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) {
      const std::size_t shift = order_ == ByteOrder::Little ? i : width - 1 - i;
      bytes_[at + i] = static_cast<std::uint8_t>(value >> (8 * shift));
    }
  }

  std::vector<std::uint8_t>& bytes_;
  ByteOrder order_;
};

class ExifBlockLayout final {
 public:
  explicit ExifBlockLayout(const PropertyStore& properties) {
    for (const StoredProperty& item : properties.items()) {
      const auto directory = DirectoryOf(item);
      if (!directory) continue;
      auto& entries = directories_[*directory];
      // Room is left for the pointer entries added below.
      if (entries.size() + 2 >= exif::kMaxDirectoryEntries) continue;
      if (auto entry = MakeEntry(item)) entries.push_back(*entry);
    }
    if (!directories_[kInterop].empty()) {
      directories_[kExif].push_back(PointerEntry(exif::kInteropPointerTag, kInterop));
    }
    if (!directories_[kExif].empty()) {
      directories_[kPrimary].push_back(PointerEntry(exif::kExifPointerTag, kExif));
    }
    if (!directories_[kGps].empty()) directories_[kPrimary].push_back(PointerEntry(exif::kGpsPointerTag, kGps));
    for (auto& entries : directories_) {
      std::sort(entries.begin(), entries.end(), [](const OutEntry& a, const OutEntry& b) { return a.tag < b.tag; });
    }
  }

  std::vector<std::uint8_t> Write(ByteOrder order) {
    if (directories_[kPrimary].empty()) return {};
    std::size_t end = kHeaderSize;
    for (std::size_t d = 0; d < kDirectoryCount; ++d) {
      if (directories_[d].empty()) continue;
      offsets_[d] = end;
      end += DirectorySize(directories_[d]);
    }
    if (end > std::numeric_limits<std::uint32_t>::max()) return {};
    std::vector<std::uint8_t> bytes(end, 0);
    BlockWriter writer(bytes, order);
    bytes[0] = bytes[1] = order == ByteOrder::Little ? 'I' : 'M';
    writer.U16(2, 42);
    writer.U32(4, static_cast<std::uint32_t>(kHeaderSize));
    for (std::size_t d = 0; d < kDirectoryCount; ++d) {
      if (!directories_[d].empty()) WriteDirectory(writer, directories_[d], offsets_[d]);
    }
    return bytes;
  }

 private:
  // The entry count, the entries, a zero next-directory offset, then the
  // values that do not fit in their entries.
  void WriteDirectory(BlockWriter& writer, const std::vector<OutEntry>& entries, std::size_t at) const {
    writer.U16(at, static_cast<std::uint16_t>(entries.size()));
    std::size_t valueAt = at + 2 + entries.size() * kEntrySize + 4;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      const OutEntry& entry = entries[i];
      const std::size_t entryAt = at + 2 + i * kEntrySize;
      writer.U16(entryAt, entry.tag);
      writer.U16(entryAt + 2, entry.type);
      writer.U32(entryAt + 4, entry.count);
      if (entry.target) {
        writer.U32(entryAt + 8, static_cast<std::uint32_t>(offsets_[*entry.target]));
      } else if (entry.ExternalSize() == 0) {
        writer.Value(entryAt + 8, entry);
      } else {
        writer.U32(entryAt + 8, static_cast<std::uint32_t>(valueAt));
        writer.Value(valueAt, entry);
        valueAt += entry.ExternalSize();
      }
    }
  }

  std::array<std::vector<OutEntry>, kDirectoryCount> directories_;
  std::array<std::size_t, kDirectoryCount> offsets_{};
};

}  // namespace

std::vector<std::uint8_t> WriteExifBlock(const PropertyStore& properties, ByteOrder order) {
  return ExifBlockLayout(properties).Write(order);
}

}  // namespace pixavue::platform::gdiplus
