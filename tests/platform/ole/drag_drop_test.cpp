// Drop targets of windows: registration rules, delivery to the window or
// its nearest registered ancestor, and the end of a registration with its
// window.

#include <pixavue/platform/ole/drag_drop.h>
#include <pixavue/platform/window/window.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pixavue::platform {
namespace {

class RecordingTarget final : public IDropTarget {
 public:
  explicit RecordingTarget(std::int32_t performed = DROPEFFECT_COPY) : performed_(performed) {}
  void Drop(const DataObject& data, std::int32_t& effect, const DropPoint& point) override {
    drops.push_back(data.GetFormat(CF_HDROP) ? data.Files() : std::vector<std::string>{"<no files>"});
    offered = effect;
    where = point;
    effect = performed_;
  }
  std::vector<std::vector<std::string>> drops;
  std::int32_t offered = -1;
  DropPoint where;

 private:
  std::int32_t performed_;
};

HWND MakeWindow(HWND parent = kNoWindow) {
  WindowCreateInfo info;
  info.parent = parent;
  info.className = "drop test";
  info.width = 10;
  info.height = 10;
  return CreateWindow(info);
}

TEST(DragDropTest, RegistrationRules) {
  RecordingTarget target;
  const HWND window = MakeWindow();
  EXPECT_EQ(RegisterDragDrop(window, nullptr), E_INVALIDARG);
  EXPECT_EQ(RevokeDragDrop(window), DRAGDROP_E_NOTREGISTERED);
  EXPECT_EQ(RegisterDragDrop(window, &target), S_OK);
  EXPECT_EQ(RegisterDragDrop(window, &target), DRAGDROP_E_ALREADYREGISTERED);
  EXPECT_EQ(RevokeDragDrop(window), S_OK);
  EXPECT_EQ(RevokeDragDrop(window), DRAGDROP_E_NOTREGISTERED);
  DestroyWindow(window);
  EXPECT_EQ(RegisterDragDrop(window, &target), DRAGDROP_E_INVALIDHWND);
}

TEST(DragDropTest, DropReachesTheNearestRegisteredWindow) {
  RecordingTarget outer(DROPEFFECT_LINK);
  RecordingTarget inner;
  const HWND top = MakeWindow();
  const HWND middle = MakeWindow(top);
  const HWND child = MakeWindow(middle);
  ASSERT_EQ(RegisterDragDrop(top, &outer), S_OK);

  std::int32_t effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
  DropPoint point;
  point.shift = 2;
  point.x = 3.5f;
  EXPECT_TRUE(DropOnWindow(child, DataObject({"/a", "/b"}), effect, point));
  EXPECT_EQ(effect, DROPEFFECT_LINK);
  EXPECT_EQ(outer.offered, DROPEFFECT_COPY | DROPEFFECT_LINK);
  EXPECT_EQ(outer.where.shift, 2);
  EXPECT_EQ(outer.where.x, 3.5f);
  ASSERT_EQ(outer.drops.size(), 1u);
  EXPECT_EQ(outer.drops[0], (std::vector<std::string>{"/a", "/b"}));

  ASSERT_EQ(RegisterDragDrop(middle, &inner), S_OK);
  effect = DROPEFFECT_COPY;
  EXPECT_TRUE(DropOnWindow(child, DataObject(), effect, point));
  ASSERT_EQ(inner.drops.size(), 1u);
  EXPECT_EQ(inner.drops[0], std::vector<std::string>{"<no files>"});
  EXPECT_EQ(outer.drops.size(), 1u);
  DestroyWindow(top);
}

TEST(DragDropTest, RegistrationEndsWithItsWindow) {
  RecordingTarget target;
  const HWND window = MakeWindow();
  ASSERT_EQ(RegisterDragDrop(window, &target), S_OK);
  DestroyWindow(window);
  std::int32_t effect = DROPEFFECT_COPY;
  EXPECT_FALSE(DropOnWindow(window, DataObject({"/a"}), effect, DropPoint{}));
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  EXPECT_TRUE(target.drops.empty());
  // A window that may reuse the handle starts without a target.
  const HWND next = MakeWindow();
  effect = DROPEFFECT_COPY;
  EXPECT_FALSE(DropOnWindow(next, DataObject({"/a"}), effect, DropPoint{}));
  EXPECT_EQ(RegisterDragDrop(next, &target), S_OK);
  DestroyWindow(next);
}

TEST(DragDropTest, FileListsAreTheOnlyFormat) {
  const DataObject none;
  EXPECT_FALSE(none.GetFormat(CF_HDROP));
  const DataObject empty{std::vector<std::string>{}};
  EXPECT_TRUE(empty.GetFormat(CF_HDROP));
  EXPECT_FALSE(empty.GetFormat(1));
  EXPECT_TRUE(empty.Files().empty());
}

}  // namespace
}  // namespace pixavue::platform
