#pragma once
// The control's events (the source interface __ImageBox): one virtual
// function per event, each with an empty default so that a sink overrides
// only what it needs. Parameters passed by reference may be changed by the
// handler; the control goes on with the values the handler left.

#include <cstdint>
#include <string>
#include <vector>

#include <pixavue/platform/gdiplus/gdiplus_types.h>

namespace pixavue {

using DISPID = std::int32_t;

// The fixed dispatch identifier of each event.
namespace ImageBoxDispid {
inline constexpr DISPID DataReceived = 1;
inline constexpr DISPID ZoomChange = 2;
inline constexpr DISPID ScrollControl = 3;
inline constexpr DISPID Rotation = 4;
inline constexpr DISPID PageChange = 5;
inline constexpr DISPID FileDrop = 6;
inline constexpr DISPID FilesDrop = 7;
inline constexpr DISPID PictureChange = 8;
inline constexpr DISPID PictureChanged = 9;
inline constexpr DISPID Display = 10;
inline constexpr DISPID KeyPressControl = 11;
inline constexpr DISPID KeyUpControl = 12;
inline constexpr DISPID KeyDownControl = 13;
inline constexpr DISPID MouseMoveControl = 14;
inline constexpr DISPID ClickControl = 15;
inline constexpr DISPID DblClickControl = 16;
inline constexpr DISPID MouseDownControl = 17;
inline constexpr DISPID MouseUpControl = 18;
inline constexpr DISPID ResizeControl = 19;
inline constexpr DISPID PaintControl = 20;
inline constexpr DISPID BeforeZoomChange = 21;
inline constexpr DISPID MouseWheelControl = 22;
}  // namespace ImageBoxDispid

inline constexpr int kImageBoxEventCount = 22;

class ImageBoxEvents {
 public:
  virtual ~ImageBoxEvents() = default;

  // Download progress.
  virtual void DataReceived(std::int32_t /*nPercentProgress*/, std::int32_t /*nLeftToTransfer*/,
                            std::int32_t /*nTotalLength*/) {}
  // Zoom: before the render of a layout whose zoom differs, and after it.
  virtual void BeforeZoomChange() {}
  virtual void ZoomChange() {}
  virtual void ScrollControl() {}
  virtual void Rotation(platform::RotateFlipType /*nRotation*/) {}
  virtual void PageChange() {}
  // Drag-and-drop.
  virtual void FileDrop(const std::string& /*sFilePath*/) {}
  virtual void FilesDrop(std::vector<std::string>& /*sFilesPath*/, std::int32_t /*nFilesCount*/) {}
  // Rendering.
  virtual void PictureChange() {}
  virtual void PictureChanged() {}
  virtual void Display() {}
  // Keyboard: the key events carry the key code in KeyAscii.
  virtual void KeyPressControl(std::int16_t& /*KeyAscii*/) {}
  virtual void KeyUpControl(std::int16_t& /*KeyAscii*/, std::int16_t& /*shift*/) {}
  virtual void KeyDownControl(std::int16_t& /*KeyAscii*/, std::int16_t& /*shift*/) {}
  // Mouse.
  virtual void MouseMoveControl(std::int16_t& /*Button*/, std::int16_t& /*shift*/, float& /*X*/, float& /*Y*/) {}
  virtual void ClickControl() {}
  virtual void DblClickControl() {}
  virtual void MouseDownControl(std::int16_t& /*Button*/, std::int16_t& /*shift*/, float& /*X*/, float& /*Y*/) {}
  virtual void MouseUpControl(std::int16_t& /*Button*/, std::int16_t& /*shift*/, float& /*X*/, float& /*Y*/) {}
  // 0 for a notch up, 1 for a notch down.
  virtual void MouseWheelControl(std::int16_t /*UpDown*/) {}
  // Surface notifications.
  virtual void ResizeControl() {}
  virtual void PaintControl() {}

 protected:
  ImageBoxEvents() = default;
  ImageBoxEvents(const ImageBoxEvents&) = default;
  ImageBoxEvents& operator=(const ImageBoxEvents&) = default;
};

}  // namespace pixavue
