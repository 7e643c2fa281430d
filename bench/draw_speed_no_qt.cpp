// Without Qt 6 the drawing-speed benchmark runs without its Qt baselines.

#include "draw_speed_fixture.h"

namespace pixavue::bench {

void RegisterQtBaselines() {}

}  // namespace pixavue::bench
