#pragma once
// Metafiles that make playback work hard for their size: many clip records,
// object tables churned at their limit, one polygon of many random points,
// deeply nested saved states over a complex clip, and an ordinary drawing of
// the same frame to compare them with. Shared by the playback tests and the
// benchmark; the random parts are seeded, so every file is the same each run.

#include <cstdint>
#include <vector>

#include "metafile_test_files.h"

namespace pixavue::platform::test {

// Deterministic pseudo-random numbers (xorshift32).
class HostileRandom final {
 public:
  explicit HostileRandom(std::uint32_t seed) : state_(seed == 0 ? 1 : seed) {}
  std::uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  std::int32_t Below(std::int32_t limit) { return static_cast<std::int32_t>(Next() % static_cast<std::uint32_t>(limit)); }

 private:
  std::uint32_t state_;
};

// A red brush (object 1) and no pen, selected.
inline void SelectRedBrush(EmfFile& emf) {
  emf.Add(U_EMRSELECTOBJECT_set(U_NULL_PEN));
  emf.Add(U_EMRCREATEBRUSHINDIRECT_set(1, logbrush_set(U_BS_SOLID, colorref3_set(255, 0, 0), 0)));
  emf.Add(U_EMRSELECTOBJECT_set(1));
}

inline U_RECTL RandomRect(HostileRandom& random, std::int32_t side, std::int32_t largest) {
  const std::int32_t left = random.Below(side), top = random.Below(side);
  return U_RECTL{left, top, left + 1 + random.Below(largest), top + 1 + random.Below(largest)};
}

// A random rectangle around the centre of the frame, so that intersections
// of many of them never become empty.
inline U_RECTL CentredRect(HostileRandom& random, std::int32_t side) {
  const std::int32_t half = side / 2;
  return U_RECTL{random.Below(half), random.Below(half), half + 1 + random.Below(half), half + 1 + random.Below(half)};
}

// An EXTSELECTCLIPRGN record with `rects` (device units) and `mode`.
inline char* ClipRegionRecord(std::uint32_t mode, const std::vector<U_RECTL>& rects) {
  U_RECTL bounds{0, 0, 0, 0};
  PU_RGNDATA region = rgndata_set(rgndataheader_set(static_cast<U_NUM_RECTL>(rects.size()), bounds),
                                  const_cast<PU_RECTL>(rects.data()));
  char* record = U_EMREXTSELECTCLIPRGN_set(mode, region);
  std::free(region);
  return record;
}

enum class ClipFlood { Intersect, Exclude, Region, Mixed };

// `records` clip records over a side x side frame, a full-frame fill after
// every `fillEvery` of them. Excluded rectangles split the clip into ever
// more pieces; intersections and regions around the centre keep cutting it
// without emptying it.
inline std::vector<std::uint8_t> EmfClipFlood(ClipFlood kind, std::int32_t side, int records, int fillEvery) {
  EmfFile emf(side, side);
  SelectRedBrush(emf);
  HostileRandom random(7);
  for (int i = 0; i < records; ++i) {
    const ClipFlood pick = kind == ClipFlood::Mixed ? static_cast<ClipFlood>(i % 3) : kind;
    switch (pick) {
      case ClipFlood::Intersect: emf.Add(U_EMRINTERSECTCLIPRECT_set(CentredRect(random, side))); break;
      case ClipFlood::Exclude: emf.Add(U_EMREXCLUDECLIPRECT_set(RandomRect(random, side, 4))); break;
      default:
        emf.Add(ClipRegionRecord(U_RGN_AND, {CentredRect(random, side), CentredRect(random, side),
                                             CentredRect(random, side)}));
        break;
    }
    if (fillEvery > 0 && i % fillEvery == fillEvery - 1) emf.Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, side, side}));
  }
  return emf.Finish();
}

// A WMF CREATEREGION record of a region without scans: 14 words, the
// function, then the region's 22-byte header.
inline std::vector<std::uint8_t> EmptyRegionRecord() {
  ByteWriter record;
  record.U32(14).U16(0x06FF).U16(0).U16(6).U32(0).U16(22);
  for (int i = 0; i < 6; ++i) record.U16(0);
  return record.data;
}

// The same flood in a WMF: intersected and excluded rectangles and created
// regions, in a placeable frame of side x side units.
inline std::vector<std::uint8_t> WmfClipFlood(std::int16_t side, int records) {
  WmfRecords wmf;
  wmf.Add(U_WMRCREATEBRUSHINDIRECT_set(U_WLOGBRUSH{U_BS_SOLID, colorref3_set(255, 0, 0), 0}));
  wmf.Add(U_WMRSELECTOBJECT_set(0));
  HostileRandom random(11);
  for (int i = 0; i < records; ++i) {
    const auto left = static_cast<std::int16_t>(random.Below(side)), top = static_cast<std::int16_t>(random.Below(side));
    const U_RECT16 box{left, top, static_cast<std::int16_t>(left + 3), static_cast<std::int16_t>(top + 3)};
    switch (i % 3) {
      case 0: wmf.Add(U_WMREXCLUDECLIPRECT_set(box)); break;
      case 1: wmf.Add(U_WMRINTERSECTCLIPRECT_set(U_RECT16{0, 0, side, side})); break;
      default:
        wmf.Raw(EmptyRegionRecord());
        wmf.Add(U_WMRDELETEOBJECT_set(1));
        break;
    }
  }
  wmf.Add(U_WMRRECTANGLE_set(U_RECT16{0, 0, side, side}));
  return Placeable(0, 0, side, side, 96, Wmf(wmf.Finish()));
}

// Fills the object table, then deletes its first object and creates two
// objects `rounds` times: the first takes the freed slot, the second finds
// the table full.
inline std::vector<std::uint8_t> WmfObjectChurn(int rounds) {
  WmfRecords wmf;
  const U_PEN pen{U_PS_SOLID, {4, 4}, colorref3_set(0, 0, 255)};
  for (int i = 0; i < 65535; ++i) wmf.Add(U_WMRCREATEPENINDIRECT_set(pen));
  for (int i = 0; i < rounds; ++i) {
    wmf.Add(U_WMRDELETEOBJECT_set(0));
    wmf.Add(U_WMRCREATEPENINDIRECT_set(pen)).Add(U_WMRCREATEPENINDIRECT_set(pen));
  }
  wmf.Add(U_WMRSELECTOBJECT_set(0)).Add(U_WMRMOVETO_set(point16_set(0, 50))).Add(U_WMRLINETO_set(point16_set(100, 50)));
  return Placeable(0, 0, 100, 100, 96, Wmf(wmf.Finish()));
}

// One filled polygon of `count` random points inside a side x side frame.
inline std::vector<std::uint8_t> EmfRandomPolygon(std::int32_t side, std::uint32_t count) {
  EmfFile emf(side, side);
  SelectRedBrush(emf);
  emf.Add(U_EMRSETPOLYFILLMODE_set(U_WINDING));
  HostileRandom random(3);
  std::vector<U_POINTL> points(count);
  for (U_POINTL& p : points) p = U_POINTL{random.Below(side), random.Below(side)};
  emf.Add(U_EMRPOLYGON_set(U_RECTL{0, 0, side, side}, count, points.data()));
  return emf.Finish();
}

// One stroked polyline of `count` random points inside a side x side frame.
inline std::vector<std::uint8_t> EmfRandomPolyline(std::int32_t side, std::uint32_t count) {
  EmfFile emf(side, side);
  emf.Add(U_EMRCREATEPEN_set(1, logpen_set(U_PS_SOLID, point32_set(2, 2), colorref3_set(0, 0, 255))));
  emf.Add(U_EMRSELECTOBJECT_set(1));
  HostileRandom random(13);
  std::vector<U_POINTL> points(count);
  for (U_POINTL& p : points) p = U_POINTL{random.Below(side), random.Below(side)};
  emf.Add(U_EMRPOLYLINE_set(U_RECTL{0, 0, side, side}, count, points.data()));
  return emf.Finish();
}

// A clip of a `strips` x `strips` grid of pieces (thin excluded strips
// both ways), then `saves` nested saved states, each restored and saved
// again `rounds` times, with a fill inside.
inline std::vector<std::uint8_t> EmfNestedSaves(std::int32_t side, int strips, int saves, int rounds) {
  EmfFile emf(side, side);
  SelectRedBrush(emf);
  for (int i = 0; i < strips; ++i) {
    const std::int32_t at = side * i / strips;
    emf.Add(U_EMREXCLUDECLIPRECT_set(U_RECTL{at, 0, at + 1, side}));
    emf.Add(U_EMREXCLUDECLIPRECT_set(U_RECTL{0, at, side, at + 1}));
  }
  for (int round = 0; round < rounds; ++round) {
    for (int i = 0; i < saves; ++i) emf.Add(U_EMRSAVEDC_set());
    emf.Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, side, side}));
    emf.Add(U_EMRRESTOREDC_set(1));
  }
  return emf.Finish();
}

// An ordinary drawing of the frame: rectangles, ellipses and outlined
// polygons in a few colours, the work a real picture does.
inline std::vector<std::uint8_t> EmfOrdinaryDrawing(std::int32_t side, int shapes) {
  EmfFile emf(side, side);
  HostileRandom random(5);
  for (std::uint32_t i = 0; i < 4; ++i) {
    emf.Add(U_EMRCREATEBRUSHINDIRECT_set(
        1 + i, logbrush_set(U_BS_SOLID, colorref3_set(60 * i, 255 - 60 * i, 128), 0)));
  }
  emf.Add(U_EMRCREATEPEN_set(5, logpen_set(U_PS_SOLID, point32_set(3, 3), colorref3_set(0, 0, 0))));
  emf.Add(U_EMRSELECTOBJECT_set(5));
  for (int i = 0; i < shapes; ++i) {
    emf.Add(U_EMRSELECTOBJECT_set(1 + static_cast<std::uint32_t>(i % 4)));
    const U_RECTL box = RandomRect(random, side, side / 4);
    if (i % 3 == 0) {
      emf.Add(U_EMRELLIPSE_set(box));
    } else if (i % 3 == 1) {
      emf.Add(U_EMRRECTANGLE_set(box));
    } else {
      const U_POINTL points[] = {{box.left, box.top}, {box.right, box.top}, {box.left, box.bottom}};
      emf.Add(U_EMRPOLYGON_set(box, 3, points));
    }
  }
  return emf.Finish();
}

}  // namespace pixavue::platform::test
