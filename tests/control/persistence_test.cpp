// Persisted properties: initial values, reading and writing the property
// bag (keys, types, order, the copies in the elements), and what each
// setter stores and reports.

#include <pixavue/platform/ole/memory_property_bag.h>

#include <functional>
#include <string>
#include <vector>

#include "control_test_support.h"

namespace pixavue::testing {
namespace {

using platform::MemoryPropertyBag;
using platform::Variant;

// Every persisted key with a value that differs from its default, in the
// order WriteProperties writes them, with the type it is stored as.
std::vector<platform::Property> ChangedProperties() {
  return {
      {"ScrollBars", Variant::FromBool(false)},
      {"Zoom", Variant::FromDouble(2.5)},
      {"ImageWidth", Variant::FromInt32(640)},
      {"ImageHeight", Variant::FromInt32(480)},
      {"MouseMode", Variant::FromInt32(MouseModeAreaSelection)},
      {"ZoomStep", Variant::FromInt32(25)},
      {"ScrollSmallChange", Variant::FromInt16(3)},
      {"ScrollLargeChange", Variant::FromInt16(40)},
      {"VerticalResolution", Variant::FromFloat(300)},
      {"HorizontalResolution", Variant::FromFloat(150)},
      {"PageCount", Variant::FromInt32(4)},
      {"CurrentPage", Variant::FromInt32(2)},
      {"SilentMode", Variant::FromBool(true)},
      {"ImageForceTemporaryMode", Variant::FromBool(true)},
      {"SkipImageResolution", Variant::FromBool(true)},
      {"LockControl", Variant::FromBool(true)},
      {"ZoomMode", Variant::FromInt32(ZoomFitToControl)},
      {"RectBorderStyle", Variant::FromInt32(RectBorderStyleDot)},
      {"RectDrawMode", Variant::FromInt32(RectDrawModeXorPen)},
      {"Enabled", Variant::FromBool(false)},
      {"EnableMouseWheel", Variant::FromBool(false)},
      {"ImageAlignment", Variant::FromInt32(ImageAlignmentTopLeft)},
      {"ImagePosition", Variant::FromInt32(ImagePositionBottomRight)},
      {"AnimateGIF", Variant::FromBool(true)},
      {"RectBorderSize", Variant::FromInt16(3)},
      {"ClipControls", Variant::FromBool(false)},
      {"RectBorderColor", Variant::FromInt32(0x0000FF)},
      {"BorderStyle", Variant::FromInt16(BorderNone)},
      {"Appearance", Variant::FromInt16(AppearanceFlat)},
      {"BackStyle", Variant::FromInt16(bkTransparent)},
      {"BackColor", Variant::FromInt32(0x00FF00)},
      {"ScrollOptimization", Variant::FromBool(true)},
      {"ViewerQuality", Variant::FromInt32(ViewerQualityBilinear)},
      {"ViewerQualityAuto", Variant::FromBool(true)},
      {"ForcePictureMode", Variant::FromBool(true)},
      {"KeepImagePosition", Variant::FromBool(true)},
      {"MouseWheelMode", Variant::FromInt32(MouseWheelPageChange)},
      {"ViewerDrop", Variant::FromBool(true)},
      {"DisableAutoFocus", Variant::FromBool(true)},
      {"MousePointer", Variant::FromInt32(MousePointerCross)},
      {"ForceScrollBars", Variant::FromBool(true)},
      {"ImageMaskColor", Variant::FromInt32(0xFFFFFF)},
      {"Gamma", Variant::FromFloat(1.8f)},
      {"RectIsEditable", Variant::FromBool(false)},
      {"ContinuousViewMode", Variant::FromBool(false)},
      {"MouseButtonForMouseMode", Variant::FromInt32(MouseButtonRight)},
      {"OptimizeDrawingSpeed", Variant::FromBool(true)},
  };
}

MemoryPropertyBag BagOf(const std::vector<platform::Property>& properties) {
  MemoryPropertyBag bag;
  for (const auto& property : properties) bag.Write(property.name, property.value);
  return bag;
}

// A bag that remembers the names it was asked for.
class ReadLoggingBag final : public platform::PropertyBag {
 public:
  platform::HRESULT Read(std::string_view name, Variant& value) noexcept override {
    names.emplace_back(name);
    return inner.Read(name, value);
  }
  platform::HRESULT Write(std::string_view name, const Variant& value) noexcept override {
    return inner.Write(name, value);
  }
  platform::HRESULT Remove(std::string_view name) noexcept override { return inner.Remove(name); }

  MemoryPropertyBag inner;
  std::vector<std::string> names;
};

struct InitialValue {
  const char* name;
  std::function<double(ImageBox&)> get;
  double expected;
};

// The initial value of every persisted property, as the getters show it.
std::vector<InitialValue> InitialValues() {
  return {
      {"AnimateGIF", [](ImageBox& b) { return b.get_AnimateGIF(); }, 0},
      {"RectBorderStyle", [](ImageBox& b) { return b.get_RectBorderStyle(); }, 1},
      {"ZoomMode", [](ImageBox& b) { return b.get_ZoomMode(); }, 1},
      {"ScrollBars", [](ImageBox& b) { return b.get_ScrollBars(); }, 1},
      {"Zoom", [](ImageBox& b) { return b.get_ZOOM(); }, 1.0},
      {"PageCount", [](ImageBox& b) { return b.get_PageCount(); }, 0},
      {"CurrentPage", [](ImageBox& b) { return b.get_CurrentPage(); }, 0},
      {"ScrollLargeChange", [](ImageBox& b) { return b.get_ScrollLargeChange(); }, 50},
      {"ScrollSmallChange", [](ImageBox& b) { return b.get_ScrollSmallChange(); }, 1},
      {"ZoomStep", [](ImageBox& b) { return b.get_ZoomStep(); }, 10},
      {"MouseMode", [](ImageBox& b) { return b.get_MouseMode(); }, 2},
      {"ImageWidth", [](ImageBox& b) { return b.get_ImageWidth(); }, 0},
      {"ImageHeight", [](ImageBox& b) { return b.get_ImageHeight(); }, 0},
      {"LockControl", [](ImageBox& b) { return b.get_LockControl(); }, 0},
      {"VerticalResolution", [](ImageBox& b) { return b.get_VerticalResolution(); }, 0},
      {"HorizontalResolution", [](ImageBox& b) { return b.get_HorizontalResolution(); }, 0},
      {"SilentMode", [](ImageBox& b) { return b.get_SilentMode(); }, 0},
      {"ImageForceTemporaryMode", [](ImageBox& b) { return b.get_ImageForceTemporaryMode(); }, 0},
      {"SkipImageResolution", [](ImageBox& b) { return b.get_SkipImageResolution(); }, 0},
      {"RectDrawMode", [](ImageBox& b) { return b.get_RectDrawMode(); }, 13},
      {"Enabled", [](ImageBox& b) { return b.get_Enabled(); }, 1},
      {"EnableMouseWheel", [](ImageBox& b) { return b.get_EnableMouseWheel(); }, 1},
      {"ImageAlignment", [](ImageBox& b) { return b.get_ImageAlignment(); }, 2},
      {"ImagePosition", [](ImageBox& b) { return b.get_ImagePosition(); }, 2},
      {"ScrollOptimization", [](ImageBox& b) { return b.get_ScrollOptimization(); }, 0},
      {"ViewerQuality", [](ImageBox& b) { return b.get_ViewerQuality(); }, 4},
      {"ViewerQualityAuto", [](ImageBox& b) { return b.get_ViewerQualityAuto(); }, 0},
      {"ForcePictureMode", [](ImageBox& b) { return b.get_ForcePictureMode(); }, 0},
      {"KeepImagePosition", [](ImageBox& b) { return b.get_KeepImagePosition(); }, 0},
      {"MouseWheelMode", [](ImageBox& b) { return b.get_MouseWheelMode(); }, 0},
      {"ViewerDrop", [](ImageBox& b) { return b.get_ViewerDrop(); }, 0},
      {"DisableAutoFocus", [](ImageBox& b) { return b.get_DisableAutoFocus(); }, 0},
      {"MousePointer", [](ImageBox& b) { return b.get_MousePointer(); }, 0},
      {"ForceScrollBars", [](ImageBox& b) { return b.get_ForceScrollBars(); }, 0},
      {"ImageMaskColor", [](ImageBox& b) { return b.get_ImageMaskColor(); }, 65536},
      {"Gamma", [](ImageBox& b) { return b.get_gamma(); }, 1.0},
      {"RectIsEditable", [](ImageBox& b) { return b.get_RectIsEditable(); }, 1},
      {"ContinuousViewMode", [](ImageBox& b) { return b.get_ContinuousViewMode(); }, 1},
      {"MouseButtonForMouseMode", [](ImageBox& b) { return b.get_MouseButtonForMouseMode(); }, 1},
      {"OptimizeDrawingSpeed", [](ImageBox& b) { return b.get_OptimizeDrawingSpeed(); }, 0},
      {"RectBorderSize", [](ImageBox& b) { return b.get_RectBorderSize(); }, 1},
      {"RectBorderColor", [](ImageBox& b) { return b.get_RectBorderColor(); }, 0},
      {"ClipControls", [](ImageBox& b) { return b.get_ClipControls(); }, 1},
      {"BorderStyle", [](ImageBox& b) { return b.get_BorderStyle(); }, 1},
      {"Appearance", [](ImageBox& b) { return b.get_Appearance(); }, 1},
      {"BackStyle", [](ImageBox& b) { return b.get_BackStyle(); }, 1},
      {"BackColor", [](ImageBox& b) { return b.get_BackColor(); }, 0},
  };
}

void ExpectInitialValues(ImageBox& box) {
  for (const InitialValue& value : InitialValues()) EXPECT_EQ(value.get(box), value.expected) << value.name;
}

using PersistenceTest = ControlTest;

TEST_F(PersistenceTest, NewControlAndEmptyBagGiveTheInitialValues) {
  auto control = NewControl();
  ExpectInitialValues(control->Control());

  // A bag without keys takes back every value another bag changed.
  MemoryPropertyBag changed = BagOf(ChangedProperties());
  control->Load(changed);
  MemoryPropertyBag empty;
  control->Load(empty);
  ExpectInitialValues(control->Control());
  EXPECT_TRUE(control->Control().Surface().Enabled());
  EXPECT_EQ(control->Control().Surface().DropMode(), SurfaceDropMode::None);
  const platform::RectangleShape& rect = control->Control().shRect();
  EXPECT_EQ(rect.DrawMode(), platform::ShapeDrawMode::CopyPen);
  EXPECT_EQ(rect.BorderStyle(), platform::ShapeBorderStyle::Solid);
  for (const platform::ScrollBar* bar : {&control->Control().HScroll(), &control->Control().VScroll()}) {
    EXPECT_EQ(bar->SmallChange(), 1);
    EXPECT_EQ(bar->LargeChange(), 50);
  }

  // A control with its initial values writes nothing.
  MemoryPropertyBag written;
  control->Save(written);
  EXPECT_EQ(written.Count(), 0u);
}

TEST_F(PersistenceTest, WrittenBagReadsBackEveryPropertyInOrderWithItsType) {
  auto control = NewControl();
  const std::vector<platform::Property> properties = ChangedProperties();
  MemoryPropertyBag source = BagOf(properties);
  control->Load(source);

  MemoryPropertyBag written;
  control->Save(written);
  ASSERT_EQ(written.Count(), properties.size());
  auto out = written.Properties().begin();
  for (const auto& expected : properties) {
    EXPECT_EQ(out->name, expected.name);
    EXPECT_TRUE(out->value == expected.value) << expected.name;
    ++out;
  }

  // The copies in the elements and the surface.
  ImageBox& box = control->Control();
  EXPECT_EQ(box.shRect().DrawMode(), platform::ShapeDrawMode::XorPen);
  EXPECT_EQ(box.shRect().BorderStyle(), platform::ShapeBorderStyle::Dot);
  EXPECT_EQ(box.shRect().BorderWidth(), 3);
  EXPECT_EQ(box.shRect().BorderColor(), 0x0000FFu);
  for (const platform::ScrollBar* bar : {&box.HScroll(), &box.VScroll()}) {
    EXPECT_EQ(bar->SmallChange(), 3);
    EXPECT_EQ(bar->LargeChange(), 40);
  }
  EXPECT_FALSE(box.Surface().Enabled());
  EXPECT_EQ(box.Surface().DropMode(), SurfaceDropMode::Manual);
  EXPECT_EQ(box.Surface().BackColor(), 0x00FF00u);
  // Reading draws nothing and starts no quality timer; nothing is reported.
  EXPECT_FALSE(box.TmQual().Enabled());
  EXPECT_TRUE(control->Container().Changes().empty());
  EXPECT_TRUE(control->Events().Events().empty());
}

TEST_F(PersistenceTest, ReadsKeysInTheirFixedOrder) {
  auto control = NewControl();
  ReadLoggingBag bag;
  control->Load(bag);
  const std::vector<std::string> expected = {
      "ScrollBars", "Zoom", "ImageWidth", "ImageHeight", "MouseMode", "ZoomStep", "VerticalResolution",
      "HorizontalResolution", "PageCount", "CurrentPage", "SilentMode", "ImageForceTemporaryMode",
      "SkipImageResolution", "LockControl", "ZoomMode", "EnableMouseWheel", "ImageAlignment", "ImagePosition",
      "AnimateGIF", "Enabled", "Enabled", "ScrollSmallChange", "ScrollLargeChange", "RectDrawMode",
      "RectBorderStyle", "RectBorderColor", "RectBorderSize", "ClipControls", "BorderStyle", "Appearance",
      "BackStyle", "BackColor", "ScrollOptimization", "ViewerQuality", "ViewerQualityAuto", "ForcePictureMode",
      "KeepImagePosition", "MouseWheelMode", "ViewerDrop", "DisableAutoFocus", "MousePointer", "ForceScrollBars",
      "ImageMaskColor", "Gamma", "RectIsEditable", "ContinuousViewMode", "MouseButtonForMouseMode",
      "OptimizeDrawingSpeed"};
  EXPECT_EQ(bag.names, expected);
}

struct ReportCase {
  std::function<void(ImageBox&)> set;
  std::vector<std::string> reported;
};

TEST_F(PersistenceTest, EveryPersistedSetterReportsItsKey) {
  const std::vector<ReportCase> cases = {
      {[](ImageBox& b) { b.put_AnimateGIF(true); }, {"AnimateGIF"}},
      {[](ImageBox& b) { b.put_RectBorderStyle(RectBorderStyleDash); }, {"RectBorderStyle"}},
      {[](ImageBox& b) { b.put_ZoomMode(ZoomCustom); }, {"ZoomMode"}},
      {[](ImageBox& b) { b.put_ScrollBars(false); }, {"ScrollBars"}},
      {[](ImageBox& b) { b.put_ZOOM(2.0); }, {"Zoom"}},
      {[](ImageBox& b) { b.put_ScrollLargeChange(20); }, {"ScrollLargeChange"}},
      {[](ImageBox& b) { b.put_ScrollSmallChange(2); }, {"ScrollSmallChange"}},
      {[](ImageBox& b) { b.put_ZoomStep(5); }, {"ZoomStep"}},
      {[](ImageBox& b) { b.put_MouseMode(MouseModeAreaSelection); }, {"MouseMode"}},
      {[](ImageBox& b) { b.put_LockControl(true); }, {"LockControl"}},
      {[](ImageBox& b) { b.put_SilentMode(true); }, {"SilentMode"}},
      {[](ImageBox& b) { b.put_ImageForceTemporaryMode(true); }, {"ImageForceTemporaryMode"}},
      {[](ImageBox& b) { b.put_SkipImageResolution(true); }, {"SkipImageResolution"}},
      {[](ImageBox& b) { b.put_RectDrawMode(RectDrawModeInvert); }, {"RectDrawMode"}},
      {[](ImageBox& b) { b.put_Enabled(false); }, {"Enabled"}},
      {[](ImageBox& b) { b.put_EnableMouseWheel(false); }, {"EnableMouseWheel"}},
      {[](ImageBox& b) { b.put_ImageAlignment(ImageAlignmentTopLeft); }, {"ImageAlignment"}},
      {[](ImageBox& b) { b.put_ImagePosition(ImagePositionTopLeft); }, {"ImagePosition"}},
      {[](ImageBox& b) { b.put_ScrollOptimization(true); }, {"OptimizeDrawingSpeed", "ScrollOptimization"}},
      {[](ImageBox& b) { b.put_ViewerQuality(ViewerQualityLow); }, {"ViewerQuality"}},
      {[](ImageBox& b) { b.put_ViewerQualityAuto(true); }, {"ViewerQualityAuto"}},
      {[](ImageBox& b) { b.put_ForcePictureMode(true); }, {"ForcePictureMode"}},
      {[](ImageBox& b) { b.put_KeepImagePosition(true); }, {"KeepImagePosition"}},
      {[](ImageBox& b) { b.put_MouseWheelMode(MouseWheelVerticalScroll); }, {"MouseWheelMode"}},
      {[](ImageBox& b) { b.put_ViewerDrop(true); }, {"ViewerDrop"}},
      {[](ImageBox& b) { b.put_DisableAutoFocus(true); }, {"DisableAutoFocus"}},
      {[](ImageBox& b) { b.put_MousePointer(MousePointerCross); }, {"MousePointer"}},
      {[](ImageBox& b) { b.put_ForceScrollBars(true); }, {"ForceScrollBars"}},
      {[](ImageBox& b) { b.put_ImageMaskColor(0xFFFFFF); }, {"ImageMaskColor"}},
      {[](ImageBox& b) { b.put_gamma(2.2f); }, {"Gamma"}},
      {[](ImageBox& b) { b.put_RectIsEditable(false); }, {"RectIsEditable"}},
      {[](ImageBox& b) { b.put_ContinuousViewMode(false); }, {"ContinuousViewMode"}},
      {[](ImageBox& b) { b.put_MouseButtonForMouseMode(MouseButtonMiddle); }, {"MouseButtonForMouseMode"}},
      {[](ImageBox& b) { b.put_OptimizeDrawingSpeed(true); }, {"OptimizeDrawingSpeed"}},
      {[](ImageBox& b) { b.put_RectBorderSize(2); }, {"RectBorderSize"}},
      {[](ImageBox& b) { b.put_RectBorderColor(0xFF); }, {"RectBorderColor"}},
      {[](ImageBox& b) { b.put_ClipControls(false); }, {"ClipControls"}},
      {[](ImageBox& b) { b.put_BorderStyle(BorderNone); }, {"BorderStyle"}},
      {[](ImageBox& b) { b.put_Appearance(AppearanceFlat); }, {"Appearance"}},
      {[](ImageBox& b) { b.put_BackStyle(bkTransparent); }, {"BackStyle"}},
      {[](ImageBox& b) { b.put_BackColor(0x808080); }, {"BackColor"}},
  };
  auto control = NewControl();
  for (const ReportCase& c : cases) {
    control->Container().ClearChanges();
    c.set(control->Control());
    EXPECT_EQ(control->Container().Changes(), c.reported) << c.reported.back();
  }
}

TEST_F(PersistenceTest, SettersThatAcceptAndIgnoreTheirValue) {
  auto control = NewControl();
  MemoryPropertyBag bag = BagOf(ChangedProperties());
  control->Load(bag);
  ImageBox& box = control->Control();
  const bool vVisible = box.get_VScrollVisible();
  const bool hVisible = box.get_HScrollVisible();
  control->Container().ClearChanges();

  box.put_ImageWidth(5);
  box.put_ImageHeight(5);
  box.put_HorizontalResolution(5);
  box.put_VerticalResolution(5);
  box.put_PageCount(5);
  box.put_CurrentPage(5);
  box.put_VScrollVisible(!vVisible);
  box.put_HScrollVisible(!hVisible);

  EXPECT_EQ(box.get_ImageWidth(), 640);
  EXPECT_EQ(box.get_ImageHeight(), 480);
  EXPECT_EQ(box.get_HorizontalResolution(), 150.0f);
  EXPECT_EQ(box.get_VerticalResolution(), 300.0f);
  EXPECT_EQ(box.get_PageCount(), 4);
  EXPECT_EQ(box.get_CurrentPage(), 2);
  EXPECT_EQ(box.get_VScrollVisible(), vVisible);
  EXPECT_EQ(box.get_HScrollVisible(), hVisible);
  EXPECT_TRUE(control->Container().Changes().empty());
}

TEST_F(PersistenceTest, ScrollOptimizationTurnsDrawingSpeedOnButNeverOff) {
  auto control = NewControl();
  ImageBox& box = control->Control();
  box.put_ScrollOptimization(false);
  EXPECT_FALSE(box.get_OptimizeDrawingSpeed());
  box.put_ScrollOptimization(true);
  EXPECT_TRUE(box.get_OptimizeDrawingSpeed());
  box.put_ScrollOptimization(false);
  EXPECT_FALSE(box.get_ScrollOptimization());
  EXPECT_TRUE(box.get_OptimizeDrawingSpeed());
}

TEST_F(PersistenceTest, SettersRefuseWhatTheViewCannotUseButStillReport) {
  auto control = NewControl();
  ImageBox& box = control->Control();
  box.put_ZoomStep(0);
  box.put_ScrollSmallChange(0);
  box.put_ScrollLargeChange(-5);
  box.put_MouseMode(static_cast<ViewerMouseMode>(5));
  box.put_ZoomMode(ZoomModeArea);
  box.put_ZOOM(0);
  box.put_MouseButtonForMouseMode(static_cast<MouseButton>(0));
  EXPECT_EQ(box.get_ZoomStep(), 10);
  EXPECT_EQ(box.get_ScrollSmallChange(), 1);
  EXPECT_EQ(box.get_ScrollLargeChange(), 50);
  EXPECT_EQ(box.HScroll().LargeChange(), 50);
  EXPECT_EQ(box.get_MouseMode(), MouseModePan);
  EXPECT_EQ(box.get_ZoomMode(), Zoom100);
  EXPECT_EQ(box.get_ZOOM(), 1.0);
  EXPECT_EQ(box.get_MouseButtonForMouseMode(), MouseButtonLeft);
  EXPECT_EQ(control->Container().Changes().size(), 7u);

  // Forcing the bars shows them; hiding them stops forcing them.
  box.put_ScrollBars(false);
  box.put_ForceScrollBars(true);
  EXPECT_TRUE(box.get_ScrollBars());
  box.put_ScrollBars(false);
  EXPECT_FALSE(box.get_ForceScrollBars());
  // A zoom set by value is a custom zoom.
  box.put_ZOOM(1.5);
  EXPECT_EQ(box.get_ZoomMode(), ZoomCustom);
}

}  // namespace
}  // namespace pixavue::testing
