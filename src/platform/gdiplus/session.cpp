#include "session.h"

#include <atomic>
#include <mutex>
#include <set>

#include <pixavue/platform/gdiplus/gdiplus_flat.h>

#include "draw_thread_pool.h"
#include "image.h"

namespace pixavue::platform {
namespace {

// Tokens of open start-ups; the session is open while any is.
struct Session {
  std::mutex mutex;
  std::set<GDIP_ULONG_PTR> openTokens;
  GDIP_ULONG_PTR nextToken = 1;
  std::atomic<bool> active{false};
};

Session& TheSession() {
  static Session session;
  return session;
}

}  // namespace

GpStatus GdiplusStartup(GDIP_ULONG_PTR* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output) {
  if (token == nullptr || input == nullptr) return InvalidParameter;
  if (input->GdiplusVersion != 1 && input->GdiplusVersion != 2 && input->GdiplusVersion != 3) {
    return UnsupportedGdiplusVersion;
  }
  // Without a background thread the caller must take the notification
  // hooks; there is no background work here, so they do nothing.
  if (input->SuppressBackgroundThread != 0 && output == nullptr) return InvalidParameter;
  if (output != nullptr) *output = GdiplusStartupOutput{};
  Session& session = TheSession();
  std::lock_guard guard(session.mutex);
  *token = session.nextToken++;
  session.openTokens.insert(*token);
  session.active = true;
  return Ok;
}

void GdiplusShutdown(GDIP_ULONG_PTR token) {
  Session& session = TheSession();
  std::lock_guard guard(session.mutex);
  session.openTokens.erase(token);
  const bool wasActive = session.active.exchange(!session.openTokens.empty());
  // The draw threads live as long as the session.
  if (wasActive && !session.active) gdiplus::StopSessionDrawThreads();
}

namespace gdiplus {

bool SessionActive() noexcept { return TheSession().active.load(); }

GpStatus CheckImage(const GpImage* image) noexcept {
  if (!SessionActive()) return GdiplusNotInitialized;
  return IsLiveImage(image) ? Ok : InvalidParameter;
}

GpStatus CheckBitmap(const GpImage* image) noexcept {
  const GpStatus status = CheckImage(image);
  if (status != Ok) return status;
  return image->type == ImageTypeBitmap ? Ok : InvalidParameter;
}

}  // namespace gdiplus
}  // namespace pixavue::platform
