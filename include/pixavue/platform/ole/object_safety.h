#pragma once
// The object-safety interface through which a browser asks a control whether
// it is safe for scripting and for initialisation from untrusted data.

#include <cstdint>

#include <pixavue/platform/ole/guid.h>
#include <pixavue/platform/ole/hresult.h>

namespace pixavue::platform {

inline constexpr std::uint32_t INTERFACESAFE_FOR_UNTRUSTED_CALLER = 1;
inline constexpr std::uint32_t INTERFACESAFE_FOR_UNTRUSTED_DATA = 2;

class IObjectSafety {
 public:
  virtual ~IObjectSafety() = default;

  // Reports which options the interface riid supports and which are enabled.
  virtual HRESULT GetInterfaceSafetyOptions(const GUID* riid, std::uint32_t* supportedOptions,
                                            std::uint32_t* enabledOptions) = 0;

  // Asks the object to enable the options of optionSetMask that are set in
  // enabledOptions, for the interface riid.
  virtual HRESULT SetInterfaceSafetyOptions(const GUID* riid, std::uint32_t optionSetMask,
                                            std::uint32_t enabledOptions) = 0;

 protected:
  IObjectSafety() = default;
  IObjectSafety(const IObjectSafety&) = default;
  IObjectSafety& operator=(const IObjectSafety&) = default;
};

}  // namespace pixavue::platform
