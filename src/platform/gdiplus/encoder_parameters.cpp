#include "codec.h"

namespace pixavue::platform::gdiplus {

const EncoderParameter* FindEncoderParameter(const EncoderParameters* params, const GUID& guid) {
  if (params == nullptr) return nullptr;
  for (UINT32 i = 0; i < params->Count; ++i) {
    if (params->Parameter[i].Guid == guid) return &params->Parameter[i];
  }
  return nullptr;
}

}  // namespace pixavue::platform::gdiplus
