#pragma once
// Images are named by ImageId everywhere above the engine: a random key from
// 1 to 100,000,000 into the thread's image table. 0 means no image.

#include <cstdint>

namespace pixavue::engine {

using ImageId = std::int32_t;
inline constexpr ImageId kNoImage = 0;

// What made an image, and so which extra resource goes with it when it is
// released. The values are fixed (1 is not used).
enum class SourceKind : std::int32_t {
  Plain = 0,          // stream, metafile from a handle, clone, area copy, document without own handle
  PackedDib = 2,      // DibMemory is freed when the engine owns it
  PluginBitmap = 3,   // plug-in bitmap (or in-place plug-in document) unloaded/closed
  GdiBitmap = 4,      // from a bitmap handle
  Icon = 5,           // from an icon handle
  GdiplusFile = 6,    // the imaging library's file decoder
  ForeignPixels = 7,  // pixels owned by someone else
  PluginPage = 8,     // locked page of a plug-in document, unlocked without saving
  EngineBuffer = 9,   // engine-allocated pixel buffer, freed with the image
};

// The two kinds of multi-page documents.
enum class DocumentKind { Tiff, Gif };

}  // namespace pixavue::engine
