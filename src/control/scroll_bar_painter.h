#pragma once
// The scroll bars and the corner box between them, painted onto a view
// image in a plain flat style: a light track, an arrow button at each end
// with a dark triangle, and a grey thumb whose place along the track follows
// Value within Min..Max and whose length follows LargeChange. A disabled
// bar shows no thumb and greyed arrows. Hidden elements paint nothing.

#include <pixavue/platform/window/focus_box.h>
#include <pixavue/platform/window/scroll_bar.h>

#include <cstdint>

namespace pixavue {

struct ViewImage;

inline constexpr std::uint32_t kScrollTrackColor = 0xFFEBEBEBu;
inline constexpr std::uint32_t kScrollButtonColor = 0xFFD6D6D6u;
inline constexpr std::uint32_t kScrollThumbColor = 0xFFA6A6A6u;
inline constexpr std::uint32_t kScrollArrowColor = 0xFF404040u;
inline constexpr std::uint32_t kScrollDisabledArrowColor = 0xFFA0A0A0u;
inline constexpr std::uint32_t kCornerBoxColor = kScrollButtonColor;

// Where the thumb lies along a bar, in pixels from the bar's start; length
// 0 when the bar shows none.
struct ThumbPlace {
  int start = 0;
  int length = 0;
};
ThumbPlace PlaceThumb(const platform::ScrollBar& bar);

void PaintScrollBar(const platform::ScrollBar& bar, ViewImage& view);
void PaintCornerBox(const platform::FocusBox& box, ViewImage& view);

}  // namespace pixavue
