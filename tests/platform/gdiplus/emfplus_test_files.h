#pragma once
// EMF+ records for the metafile tests, carried by GDI comment records of
// an EmfFile (metafile_test_files.h).

#include <bit>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "metafile_test_files.h"

namespace pixavue::platform::test {

// Field bytes of one EMF+ record.
class PlusData final {
 public:
  PlusData& U16(std::uint32_t v) {
    out_.U16(v);
    return *this;
  }
  PlusData& U32(std::uint32_t v) {
    out_.U32(v);
    return *this;
  }
  PlusData& F32(float v) { return U32(std::bit_cast<std::uint32_t>(v)); }
  PlusData& Floats(std::initializer_list<float> values) {
    for (float v : values) F32(v);
    return *this;
  }
  PlusData& Bytes(const std::vector<std::uint8_t>& bytes) {
    out_.Append(bytes);
    return *this;
  }
  const std::vector<std::uint8_t>& bytes() const { return out_.data; }

 private:
  ByteWriter out_;
};

namespace plus {
inline constexpr std::uint16_t kHeader = 0x4001, kEndOfFile = 0x4002, kGetDc = 0x4004, kObject = 0x4008,
                               kClear = 0x4009, kFillRects = 0x400A, kDrawRects = 0x400B, kFillPolygon = 0x400C,
                               kDrawLines = 0x400D, kFillEllipse = 0x400E, kFillPie = 0x4010, kFillClosedCurve = 0x4016,
                               kBeginContainer = 0x4027, kEndContainer = 0x4029, kFillPath = 0x4014, kDrawPath = 0x4015,
                               kDrawImage = 0x401A, kDrawImagePoints = 0x401B, kDrawString = 0x401C,
                               kSetAntiAlias = 0x401E, kSetCompositingMode = 0x4023, kSave = 0x4025, kRestore = 0x4026,
                               kSetWorldTransform = 0x402A, kTranslateWorldTransform = 0x402D,
                               kScaleWorldTransform = 0x402E, kRotateWorldTransform = 0x402F,
                               kSetPageTransform = 0x4030, kSetClipRect = 0x4032;
inline constexpr std::uint16_t kColor = 0x8000, kInt16 = 0x4000, kRelative = 0x0800, kAppend = 0x2000;
inline constexpr std::uint32_t kVersion = 0xDBC01002;
enum ObjectKind : std::uint16_t { kBrush = 1, kPen = 2, kPath = 3, kRegion = 4, kImage = 5 };

inline std::uint16_t ObjectFlags(ObjectKind kind, std::uint32_t id) {
  return static_cast<std::uint16_t>(kind << 8 | id);
}

inline PlusData SolidBrush(std::uint32_t argb) { return std::move(PlusData().U32(kVersion).U32(0).U32(argb)); }

// A pen of `width` world units with a solid brush; `flags`/`options` add
// optional fields.
inline PlusData SolidPen(float width, std::uint32_t argb, std::uint32_t flags = 0,
                         const std::vector<std::uint8_t>& options = {}) {
  PlusData pen;
  pen.U32(kVersion).U32(0).U32(flags).U32(0).F32(width).Bytes(options);
  return std::move(pen.Bytes(SolidBrush(argb).bytes()));
}
}  // namespace plus

// EMF+ records collected into GDI comments of an EMF file.
class EmfPlusFile final {
 public:
  EmfPlusFile(std::int32_t width, std::int32_t height, bool dual, std::uint32_t dpi = 96) : emf_(width, height) {
    Record(plus::kHeader, dual ? 1 : 0, PlusData().U32(plus::kVersion).U32(1).U32(dpi).U32(dpi));
    Flush();
  }
  // One EMF+ record; its own comment unless more records are added before
  // the next Flush.
  EmfPlusFile& Record(std::uint16_t type, std::uint16_t flags, const PlusData& data) {
    ByteWriter record;
    const auto bytes = static_cast<std::uint32_t>(data.bytes().size());
    record.U16(type).U16(flags).U32(12 + bytes).U32(bytes).Append(data.bytes());
    pending_.insert(pending_.end(), record.data.begin(), record.data.end());
    return *this;
  }
  // Raw bytes inside the current comment (for damaged records).
  EmfPlusFile& RawPlus(const std::vector<std::uint8_t>& bytes) {
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    return *this;
  }
  // Ends the current comment.
  EmfPlusFile& Flush() {
    if (pending_.empty()) return *this;
    while (pending_.size() % 4 != 0) pending_.push_back(0);
    ByteWriter comment;
    const auto bytes = static_cast<std::uint32_t>(pending_.size() + 4);
    comment.U32(U_EMR_COMMENT).U32(12 + bytes).U32(bytes).U32(0x2B464D45).Append(pending_);
    emf_.Raw(comment.data);
    pending_.clear();
    return *this;
  }
  EmfPlusFile& Object(plus::ObjectKind kind, std::uint32_t id, const PlusData& data) {
    return Record(plus::kObject, plus::ObjectFlags(kind, id), data).Flush();
  }
  EmfPlusFile& FillRect(std::uint32_t argb, float x, float y, float w, float h) {
    return Record(plus::kFillRects, plus::kColor, PlusData().U32(argb).U32(1).Floats({x, y, w, h})).Flush();
  }
  // An EMF record (from libuemf) between the comments.
  EmfPlusFile& Emf(char* record) {
    Flush();
    emf_.Add(record);
    return *this;
  }
  std::vector<std::uint8_t> Finish() {
    Record(plus::kEndOfFile, 0, PlusData());
    Flush();
    return emf_.Finish();
  }

 private:
  EmfFile emf_;
  std::vector<std::uint8_t> pending_;
};

}  // namespace pixavue::platform::test
