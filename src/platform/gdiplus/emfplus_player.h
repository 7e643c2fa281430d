#pragma once
// Playback of the EMF+ records that GDI comments of an enhanced metafile
// carry. Once an EMF+ header has been played, the EMF drawing records are
// only a fallback: they are skipped, except those that follow a GetDC
// record. A dual file (one whose EMF records draw the same picture) whose
// EMF+ records cannot all be played is played again from its EMF records
// alone, so that it never renders worse than they do; in an EMF+-only file
// a record that cannot be played is skipped.

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "emfplus_objects.h"
#include "emfplus_painter.h"
#include "load_budget.h"
#include "metafile_state.h"

namespace pixavue::platform::gdiplus::emfplus {

// The "EMF+" identifier that starts a GDI comment holding EMF+ records.
inline constexpr std::uint32_t kCommentIdentifier = 0x2B464D45;

class Player final {
 public:
  // `dpiX/Y` is the reference device's resolution, used until a header
  // gives its own. `fileBytes` bounds an object split over records.
  Player(metafile::MetafileCanvas& canvas, std::unique_ptr<Painter> painter, double dpiX, double dpiY,
         std::uint64_t fileBytes);

  // Plays the EMF+ records of one comment (after its identifier).
  void PlayComment(std::span<const std::uint8_t> records);

  // True while EMF drawing records are to be played: before any EMF+
  // header, after a GetDC record, or once a dual file fell back.
  bool EmfRecordsPlay() const noexcept { return !headerSeen_ || getDcLast_ || fellBack_; }
  // True when a dual file met an EMF+ record it cannot play: its picture
  // must come from its EMF records alone.
  bool FellBack() const noexcept { return fellBack_; }

 private:
  struct State final {
    Transform world;
    std::uint32_t pageUnit = 0;
    double pageScale = 1;
    bool antialias = false;
    bool sourceCopy = false;
  };
  struct Saved final {
    std::uint32_t id = 0;
    State state;
  };
  struct Pending final {
    std::uint32_t id = 0;
    ObjectType type = ObjectType::Invalid;
    std::uint64_t total = 0;
    std::vector<std::uint8_t> bytes;
    BudgetReservation reservation;
  };

  // False when the record cannot be played.
  bool PlayRecord(std::uint16_t type, std::uint16_t flags, std::span<const std::uint8_t> data);
  bool PlayState(std::uint16_t type, std::uint16_t flags, std::span<const std::uint8_t> data, bool& known);
  bool PlayTransform(std::uint16_t type, std::uint16_t flags, std::span<const std::uint8_t> data, bool& known);
  bool PlayClip(std::uint16_t type, std::uint16_t flags, std::span<const std::uint8_t> data, bool& known);
  bool PlayFill(std::uint16_t type, std::uint16_t flags, std::span<const std::uint8_t> data, bool& known);
  bool PlayStroke(std::uint16_t type, std::uint16_t flags, std::span<const std::uint8_t> data, bool& known);
  bool PlayImage(std::uint16_t type, std::uint16_t flags, std::span<const std::uint8_t> data, bool& known);
  bool PlayHeader(std::uint16_t flags, std::span<const std::uint8_t> data);
  bool PlayObject(std::uint16_t flags, std::span<const std::uint8_t> data);
  bool StoreObject(std::uint32_t id, ObjectType type, std::span<const std::uint8_t> bytes);
  void Fail();

  bool AddRects(std::span<const std::uint8_t> bytes, std::uint64_t count, bool int16);
  // The brush of a fill record: a colour (flag S) or a table entry.
  const Brush* BrushOf(std::uint16_t flags, std::uint32_t value);
  const Pen* PenOf(std::uint32_t id) const;
  Transform WorldToOutput() const;
  void BeginShape() { painter_->BeginShape(WorldToOutput()); }
  void Apply(const State& state);

  metafile::MetafileCanvas& canvas_;
  std::unique_ptr<Painter> painter_;
  double dpiX_, dpiY_;
  std::uint64_t fileBytes_;
  bool headerSeen_ = false;
  bool dual_ = false;
  bool getDcLast_ = false;
  bool fellBack_ = false;
  bool ended_ = false;
  State state_;
  std::vector<Saved> saved_;
  ObjectTable objects_;
  std::uint64_t imagePixelsHeld_ = 0;
  Pending pending_;
  Brush colorBrush_;
};

}  // namespace pixavue::platform::gdiplus::emfplus
