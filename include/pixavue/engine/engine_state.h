#pragma once
// The members through which a control refers to the engine's images. All zero
// (and an empty path) when a control is created.

#include <cstdint>
#include <string>

#include <pixavue/engine/image_id.h>

namespace pixavue::engine {

struct EngineState {
  ImageId CurrentImage = kNoImage;    // the image shown
  ImageId LastShownImage = kNoImage;  // the image of the last render
  ImageId DisplayCopy = kNoImage;     // 32bpp premultiplied copy for fast drawing, 0 = none
  std::int32_t DisplayCopyPage = 0;   // 1-based page the display copy was made for
  std::string TempFilePath;           // temporary folder + |window handle| in decimal
  bool TempFileInUse = false;         // CurrentImage came from TempFilePath
};

}  // namespace pixavue::engine
