// Reads the directories of a TIFF-structured block (an EXIF APP1 payload or
// a TIFF file, classic or BigTIFF) into property items.
//
// Limits: every entry's value must lie inside the block (count x size is
// checked without overflow), or the entry is skipped; a directory gives at
// most exif::kMaxDirectoryEntries entries; each kind of directory (main, EXIF,
// GPS, Interop, thumbnail) is read at most once and a directory offset seen
// before is not read again, which cuts loops. The values kept from one block
// add up to at most twice its size, so entries that share one large value
// cannot multiply memory.
//
// Ids: tags keep their numbers in the main, EXIF, GPS and Interop
// directories. The Interop tags 0x0001/0x0002 share their numbers with GPS
// tags; GPS is read first and the first item with an id wins, so GPS keeps
// those ids when both directories exist. The thumbnail directory (IFD1)
// maps to the library's thumbnail ids, and its JPEG thumbnail bytes become
// ThumbnailData with ThumbnailFormat 1. Items already in the store are kept.

#include <algorithm>
#include <array>
#include <optional>
#include <utility>
#include <vector>

#include <pixavue/platform/gdiplus/property_tags.h>

#include "exif.h"
#include "exif_format.h"

namespace pixavue::platform::gdiplus {

namespace {

using exif::FieldType;

constexpr std::uint16_t kClassicMagic = 42;
constexpr std::uint16_t kBigTiffMagic = 43;
constexpr std::uint16_t kJpegThumbnailOffsetTag = 0x0201;
constexpr std::uint16_t kJpegThumbnailLengthTag = 0x0202;
constexpr std::uint32_t kThumbnailFormatJpeg = 1;

// Thumbnail-directory tags and the library's ids for them.
constexpr std::array<std::pair<std::uint16_t, PROPID>, 30> kThumbnailIds = {{
    {0x0100, 0x5020}, {0x0101, 0x5021}, {0x0102, 0x5022}, {0x0103, 0x5023}, {0x0106, 0x5024},
    {0x010E, 0x5025}, {0x010F, 0x5026}, {0x0110, 0x5027}, {0x0111, 0x5028}, {0x0112, 0x5029},
    {0x0115, 0x502A}, {0x0116, 0x502B}, {0x0117, 0x502C}, {0x011A, 0x502D}, {0x011B, 0x502E},
    {0x011C, 0x502F}, {0x0128, 0x5030}, {0x012D, 0x5031}, {0x0131, 0x5032}, {0x0132, 0x5033},
    {0x013B, 0x5034}, {0x013E, 0x5035}, {0x013F, 0x5036}, {0x0211, 0x5037}, {0x0212, 0x5038},
    {0x0213, 0x5039}, {0x0214, 0x503A}, {0x8298, 0x503B},
    {kJpegThumbnailOffsetTag, PropertyTagJPEGInterFormat}, {kJpegThumbnailLengthTag, PropertyTagJPEGInterLength},
}};

std::optional<PROPID> ThumbnailId(std::uint16_t tag) {
  for (const auto& [from, to] : kThumbnailIds) {
    if (from == tag) return to;
  }
  return std::nullopt;
}

// A directory entry whose value lies inside the block.
struct Entry final {
  std::uint16_t tag = 0;
  std::uint16_t fieldType = 0;
  FieldType type;
  std::span<const std::uint8_t> value;  // in the block's byte order
};

// The header of a TIFF-structured block and bounded access to its
// directories.
class TiffStructure final {
 public:
  static std::optional<TiffStructure> Open(std::span<const std::uint8_t> data) {
    if (data.size() < 8) return std::nullopt;
    ByteOrder order;
    if (data[0] == 'I' && data[1] == 'I') {
      order = ByteOrder::Little;
    } else if (data[0] == 'M' && data[1] == 'M') {
      order = ByteOrder::Big;
    } else {
      return std::nullopt;
    }
    TiffStructure tiff(data, order, false);
    const std::uint16_t magic = *tiff.reader_.U16At(2);
    if (magic == kClassicMagic) {
      tiff.firstDirectory_ = *tiff.reader_.U32At(4);
      return tiff;
    }
    // BigTIFF: offset size 8, a zero word, then an 8-byte first offset.
    if (magic != kBigTiffMagic || tiff.reader_.U16At(4) != 8 || tiff.reader_.U16At(6) != 0) return std::nullopt;
    tiff.bigTiff_ = true;
    const auto first = tiff.UnsignedAt(8, 8);
    if (!first) return std::nullopt;
    tiff.firstDirectory_ = *first;
    return tiff;
  }

  std::span<const std::uint8_t> data() const { return reader_.data(); }
  ByteOrder order() const { return reader_.order(); }
  std::uint64_t first_directory() const { return firstDirectory_; }

  // Fills `entries` with the readable entries of the directory at `offset`
  // and `next` with the offset of the directory after it (0 when none or
  // when the directory is cut short by the end of the block). False when
  // not even the entry count can be read.
  bool ReadDirectory(std::uint64_t offset, std::vector<Entry>& entries, std::uint64_t& next) const {
    entries.clear();
    next = 0;
    const std::size_t countWidth = bigTiff_ ? 8 : 2;
    if (offset > data().size()) return false;
    const auto count = UnsignedAt(static_cast<std::size_t>(offset), countWidth);
    if (!count) return false;
    const std::size_t first = static_cast<std::size_t>(offset) + countWidth;
    const std::uint64_t fitting = (data().size() - first) / EntrySize();
    const std::uint64_t readable = std::min<std::uint64_t>({*count, fitting, exif::kMaxDirectoryEntries});
    for (std::size_t i = 0; i < readable; ++i) {
      if (auto entry = ReadEntry(first + i * EntrySize())) entries.push_back(*entry);
    }
    if (*count <= fitting) {
      next = UnsignedAt(first + static_cast<std::size_t>(*count) * EntrySize(), FieldWidth()).value_or(0);
    }
    return true;
  }

  // The first element of an unsigned integer entry (SHORT, LONG, IFD,
  // LONG8, IFD8).
  std::optional<std::uint64_t> FirstUnsigned(const Entry& entry) const {
    switch (entry.fieldType) {
      case 3:
      case 4:
      case 13:
      case 16:
      case 18:
        break;
      default:
        return std::nullopt;
    }
    const ByteReader value(entry.value, order());
    switch (entry.type.elementSize) {
      case 2: return value.U16At(0);
      case 4: return value.U32At(0);
      default: return UnsignedIn(value, 0, 8);
    }
  }

 private:
  TiffStructure(std::span<const std::uint8_t> data, ByteOrder order, bool bigTiff)
      : reader_(data, order), bigTiff_(bigTiff) {}

  std::size_t EntrySize() const { return bigTiff_ ? 20 : 12; }
  std::size_t FieldWidth() const { return bigTiff_ ? 8 : 4; }

  static std::optional<std::uint64_t> UnsignedIn(const ByteReader& reader, std::size_t at, std::size_t width) {
    switch (width) {
      case 2: return reader.U16At(at);
      case 4: return reader.U32At(at);
      default: break;
    }
    const auto first = reader.U32At(at);
    const auto second = reader.U32At(at + 4);
    if (!first || !second) return std::nullopt;
    const bool little = reader.order() == ByteOrder::Little;
    const std::uint64_t low = little ? *first : *second;
    const std::uint64_t high = little ? *second : *first;
    return (high << 32) | low;
  }
  std::optional<std::uint64_t> UnsignedAt(std::size_t at, std::size_t width) const {
    return UnsignedIn(reader_, at, width);
  }

  // The entry at `at`, which lies inside the block; nullopt when its type
  // is unknown or its value does not lie inside the block.
  std::optional<Entry> ReadEntry(std::size_t at) const {
    Entry entry;
    entry.tag = *reader_.U16At(at);
    entry.fieldType = *reader_.U16At(at + 2);
    entry.type = exif::DescribeFieldType(entry.fieldType);
    const std::uint64_t count = *UnsignedAt(at + 4, FieldWidth());
    if (entry.type.elementSize == 0 || count > data().size() / entry.type.elementSize) return std::nullopt;
    const std::size_t byteCount = static_cast<std::size_t>(count) * entry.type.elementSize;
    const std::size_t field = at + 4 + FieldWidth();
    std::size_t start = field;
    if (byteCount > FieldWidth()) {
      const std::uint64_t offset = *UnsignedAt(field, FieldWidth());
      if (offset > data().size() || byteCount > data().size() - offset) return std::nullopt;
      start = static_cast<std::size_t>(offset);
    }
    entry.value = data().subspan(start, byteCount);
    return entry;
  }

  ByteReader reader_;
  bool bigTiff_;
  std::uint64_t firstDirectory_ = 0;
};

// Adds values to a store, converted to machine order. The first item with
// an id wins, items already in the store included, and the values kept add
// up to at most the budget.
class PropertyCollector final {
 public:
  PropertyCollector(PropertyStore& out, ByteOrder order, std::size_t budget)
      : out_(out), order_(order), budget_(budget), taken_(0x10000, false) {
    for (const auto& item : out.items()) {
      if (item.id < taken_.size()) taken_[item.id] = true;
    }
  }

  void Add(PROPID id, const Entry& entry) {
    if (!Accepts(id, entry.value.size())) return;
    std::vector<std::uint8_t> value(entry.value.begin(), entry.value.end());
    exif::ConvertByteOrder(value, entry.type.swapUnit, order_);
    Keep(id, entry.type.propertyType, value);
  }
  void AddBytes(PROPID id, std::span<const std::uint8_t> bytes) {
    if (Accepts(id, bytes.size())) Keep(id, PropertyTagTypeByte, bytes);
  }
  void AddLong(PROPID id, std::uint32_t value) {
    if (Accepts(id, sizeof value)) {
      out_.SetLongs(id, std::span(&value, 1));
      budget_ -= sizeof value;
      taken_[id] = true;
    }
  }

 private:
  bool Accepts(PROPID id, std::size_t size) const { return id < taken_.size() && !taken_[id] && size <= budget_; }
  void Keep(PROPID id, WORD type, std::span<const std::uint8_t> value) {
    out_.Set(id, type, value);
    budget_ -= value.size();
    taken_[id] = true;
  }

  PropertyStore& out_;
  ByteOrder order_;
  std::size_t budget_;
  std::vector<bool> taken_;
};

enum SubDirectory : std::size_t { kExifDirectory, kGpsDirectory, kInteropDirectory, kSubDirectoryCount };

constexpr std::array<std::uint16_t, kSubDirectoryCount> kPointerTags = {
    exif::kExifPointerTag, exif::kGpsPointerTag, exif::kInteropPointerTag};

// Reads one main directory, the EXIF, GPS and Interop directories reached
// from it, and optionally the thumbnail directory that follows it.
class DirectoryTreeReader final {
 public:
  DirectoryTreeReader(const TiffStructure& tiff, PropertyStore& out)
      : tiff_(tiff), collector_(out, tiff.order(), 2 * tiff.data().size()) {}

  // False when the main directory cannot be read.
  bool Read(std::uint64_t offset, bool withThumbnail) {
    std::uint64_t next = 0;
    if (!Visit(offset, next)) return false;
    AddEntries();
    // A pointer found in a directory read here (such as Interop in EXIF) is
    // followed when its turn comes; GPS comes before Interop.
    for (const auto& pointer : pointers_) {
      std::uint64_t ignored = 0;
      if (pointer && Visit(*pointer, ignored)) AddEntries();
    }
    std::uint64_t ignored = 0;
    if (withThumbnail && next != 0 && Visit(next, ignored)) AddThumbnailEntries();
    return true;
  }

 private:
  // Reads the directory at `offset` into entries_ unless it was read before.
  bool Visit(std::uint64_t offset, std::uint64_t& next) {
    if (std::find(visited_.begin(), visited_.end(), offset) != visited_.end()) return false;
    visited_.push_back(offset);
    return tiff_.ReadDirectory(offset, entries_, next);
  }

  void AddEntries() {
    for (const Entry& entry : entries_) {
      NotePointer(entry);
      collector_.Add(entry.tag, entry);
    }
  }

  void NotePointer(const Entry& entry) {
    for (std::size_t kind = 0; kind < kPointerTags.size(); ++kind) {
      if (entry.tag != kPointerTags[kind] || pointers_[kind]) continue;
      const auto offset = tiff_.FirstUnsigned(entry);
      if (offset && *offset != 0) pointers_[kind] = offset;
    }
  }

  void AddThumbnailEntries() {
    std::optional<std::uint64_t> jpegOffset;
    std::optional<std::uint64_t> jpegLength;
    for (const Entry& entry : entries_) {
      if (entry.tag == kJpegThumbnailOffsetTag && !jpegOffset) jpegOffset = tiff_.FirstUnsigned(entry);
      if (entry.tag == kJpegThumbnailLengthTag && !jpegLength) jpegLength = tiff_.FirstUnsigned(entry);
      if (const auto id = ThumbnailId(entry.tag)) collector_.Add(*id, entry);
    }
    const auto data = tiff_.data();
    if (!jpegOffset || !jpegLength || *jpegLength == 0 || *jpegOffset > data.size() ||
        *jpegLength > data.size() - *jpegOffset) {
      return;
    }
    collector_.AddBytes(PropertyTagThumbnailData,
                        data.subspan(static_cast<std::size_t>(*jpegOffset), static_cast<std::size_t>(*jpegLength)));
    collector_.AddLong(PropertyTagThumbnailFormat, kThumbnailFormatJpeg);
  }

  const TiffStructure& tiff_;
  PropertyCollector collector_;
  std::vector<Entry> entries_;
  std::array<std::optional<std::uint64_t>, kSubDirectoryCount> pointers_;
  std::vector<std::uint64_t> visited_;
};

GpStatus ReadTree(std::span<const std::uint8_t> block, std::optional<std::uint64_t> offset, bool withThumbnail,
                  PropertyStore& out) {
  const auto tiff = TiffStructure::Open(block);
  if (!tiff) return InvalidParameter;
  DirectoryTreeReader reader(*tiff, out);
  return reader.Read(offset.value_or(tiff->first_directory()), withThumbnail) ? Ok : InvalidParameter;
}

}  // namespace

GpStatus ReadExifProperties(std::span<const std::uint8_t> block, PropertyStore& out) {
  return ReadTree(block, std::nullopt, true, out);
}

GpStatus ReadTiffDirectoryProperties(std::span<const std::uint8_t> tiff, std::uint64_t ifdOffset,
                                     PropertyStore& out) {
  return ReadTree(tiff, ifdOffset, false, out);
}

}  // namespace pixavue::platform::gdiplus
