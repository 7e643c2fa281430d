#pragma once
// What the download members share: the session slot of the control, held
// for the length of a call, and the relay of the session's progress event.

#include <utility>

#include <pixavue/net/c_inet.h>

namespace pixavue {

// Points the control's session slot at a call's session and, when the call
// ends, back at what it held before (a download started from an event of
// another keeps that one reachable).
class SessionSlot final {
 public:
  SessionSlot(net::cInet*& slot, net::cInet& session) : slot_(slot), previous_(slot) { slot_ = &session; }
  ~SessionSlot() { slot_ = previous_; }
  SessionSlot(const SessionSlot&) = delete;
  SessionSlot& operator=(const SessionSlot&) = delete;

 private:
  net::cInet*& slot_;
  net::cInet* previous_;
};

// Hands each PacketReceieved to a callable.
template <class Handler>
class ProgressRelay final : public net::cInetEvents {
 public:
  explicit ProgressRelay(Handler handler) : handler_(std::move(handler)) {}
  void PacketReceieved(std::int32_t nPercentProgress, std::int32_t nLeftToTransfer,
                       std::int32_t nTotalLength) override {
    handler_(nPercentProgress, nLeftToTransfer, nTotalLength);
  }

 private:
  Handler handler_;
};

}  // namespace pixavue
