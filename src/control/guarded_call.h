#pragma once
// Runs a member's body so that a failure thrown by the platform underneath
// becomes the member's status instead of leaving the public member.

#include <new>

#include <pixavue/support/quorvex_status.h>

namespace pixavue {

template <class Body>
QuorvexStatus Guarded(Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return QuorvexStatus::OutOfMemory;
  } catch (...) {
    return QuorvexStatus::GenericError;
  }
}

}  // namespace pixavue
