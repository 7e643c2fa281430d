// The metafile object table against a plain model of its slots, and the
// memory account of clip regions.

#include <gtest/gtest.h>

#include <vector>

#include "metafile_clip.h"
#include "metafile_objects.h"
#include "metafile_hostile_files.h"

namespace pixavue::platform::test {
namespace {

using gdiplus::metafile::ClipAccount;
using gdiplus::metafile::ClipRegion;
using gdiplus::metafile::GdiObject;
using gdiplus::metafile::ObjectTable;

GdiObject PenOfWidth(double width) {
  GdiObject object;
  object.kind = GdiObject::Kind::Pen;
  object.pen.width = width;
  return object;
}

// The table as a row of slots searched from the start.
class ModelTable final {
 public:
  std::int64_t Add() {
    for (std::uint32_t i = 0; i < ObjectTable::kMaxObjects; ++i) {
      if (i >= used_.size()) used_.resize(i + 1, false);
      if (!used_[i]) {
        used_[i] = true;
        return i;
      }
    }
    return -1;
  }
  void Put(std::uint32_t index) {
    if (index >= used_.size()) used_.resize(index + 1, false);
    used_[index] = true;
  }
  void Delete(std::uint32_t index) {
    if (index < used_.size()) used_[index] = false;
  }
  bool Used(std::uint32_t index) const { return index < used_.size() && used_[index]; }

 private:
  std::vector<bool> used_;
};

TEST(MetafileObjectTableTest, NewObjectsTakeTheLowestFreeSlotWhateverTheOrderOfDeletes) {
  ObjectTable table;
  ModelTable model;
  HostileRandom random(19);
  std::uint32_t added = 0;
  for (int step = 0; step < 20000; ++step) {
    const std::uint32_t pick = random.Next() % 10;
    const auto index = static_cast<std::uint32_t>(random.Below(300));
    if (pick < 5) {
      const std::int64_t expected = model.Add();
      ASSERT_TRUE(table.Add(PenOfWidth(++added)));
      const GdiObject* found = table.Find(static_cast<std::uint32_t>(expected));
      ASSERT_NE(found, nullptr) << "step " << step << ": slot " << expected;
      ASSERT_EQ(found->pen.width, added) << "step " << step << ": the new object is not in slot " << expected;
    } else if (pick < 9) {
      table.Delete(index);
      model.Delete(index);
    } else {
      // Objects named by index, as enhanced metafiles place them, leave
      // holes below them that later additions fill first.
      ASSERT_TRUE(table.Put(index, PenOfWidth(-1)));
      model.Put(index);
    }
    ASSERT_EQ(table.Find(index) != nullptr, model.Used(index)) << "step " << step << ": slot " << index;
  }
}

TEST(MetafileObjectTableTest, AFullTableRefusesUntilASlotIsFreed) {
  ObjectTable table;
  for (std::uint32_t i = 0; i < ObjectTable::kMaxObjects; ++i) ASSERT_TRUE(table.Add(PenOfWidth(i)));
  EXPECT_FALSE(table.Add(PenOfWidth(-1)));
  EXPECT_FALSE(table.Put(ObjectTable::kMaxObjects, PenOfWidth(-1)));
  table.Delete(40000);
  table.Delete(ObjectTable::kMaxObjects - 1);
  ASSERT_TRUE(table.Add(PenOfWidth(-2)));
  EXPECT_EQ(table.Find(40000)->pen.width, -2);
  ASSERT_TRUE(table.Add(PenOfWidth(-3)));
  EXPECT_EQ(table.Find(ObjectTable::kMaxObjects - 1)->pen.width, -3);
  EXPECT_FALSE(table.Add(PenOfWidth(-4)));
  EXPECT_EQ(table.Find(ObjectTable::kMaxObjects), nullptr);
}

TEST(MetafileClipRegionTest, LiveRectanglesAreCountedAgainstTheLimit) {
  ClipAccount account;
  account.maxRects = 6;
  const pixman_box32_t apart[] = {{0, 0, 2, 2}, {4, 0, 6, 2}, {8, 0, 10, 2}};
  auto three = ClipRegion::FromBoxes(account, apart);
  ASSERT_NE(three, nullptr);
  EXPECT_EQ(three->Rects(), 3u);
  EXPECT_EQ(account.liveRects, 3u);
  // Overlapping boxes merge into one rectangle.
  const pixman_box32_t overlapping[] = {{0, 0, 5, 5}, {0, 0, 5, 5}, {0, 0, 5, 5}};
  auto one = ClipRegion::FromBoxes(account, overlapping);
  ASSERT_NE(one, nullptr);
  EXPECT_EQ(one->Rects(), 1u);
  // A hole in the middle of a region splits it into four.
  auto holed = ClipRegion::Excluded(account, nullptr, pixman_box32_t{4, 4, 6, 6}, 10, 10);
  EXPECT_EQ(holed, nullptr) << "3 + 1 + 4 rectangles are over the limit of 6";
  EXPECT_EQ(account.liveRects, 4u);
  three.reset();
  holed = ClipRegion::Excluded(account, nullptr, pixman_box32_t{4, 4, 6, 6}, 10, 10);
  ASSERT_NE(holed, nullptr);
  EXPECT_EQ(holed->Rects(), 4u);
  const auto cut = ClipRegion::Intersected(account, holed.get(), *one, 10, 10);
  EXPECT_EQ(cut, nullptr) << "the intersection needs 2 more";
  one.reset();
  holed.reset();
  EXPECT_EQ(account.liveRects, 0u);
}

}  // namespace
}  // namespace pixavue::platform::test
