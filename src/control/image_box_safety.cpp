// The control's answers to a browser asking whether it is safe for
// scripting and for initialisation from untrusted data.

#include <pixavue/control/image_box.h>
#include <pixavue/platform/ole/guid.h>

#include <algorithm>
#include <cctype>
#include <string>

namespace pixavue {
namespace {

using platform::HRESULT;

// The library declares every control of the thread safe for both, from its
// start on.
constexpr bool kSafeForScripting = true;
constexpr bool kSafeForInitializing = true;

constexpr std::uint32_t kBothOptions =
    platform::INTERFACESAFE_FOR_UNTRUSTED_CALLER | platform::INTERFACESAFE_FOR_UNTRUSTED_DATA;

enum class SafetyInterface { Dispatch, Persistence, Other };

// Interfaces are told apart by their registry text in upper case.
std::string RegistryText(const platform::GUID& riid) {
  char16_t text[40] = {};
  platform::StringFromGUID2(riid, text, 40);
  std::string narrow;
  for (const char16_t* at = text; *at != u'\0'; ++at) {
    narrow.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(*at))));
  }
  return narrow;
}

SafetyInterface Classify(const platform::GUID& riid) {
  const std::string text = RegistryText(riid);
  if (text == "{00020400-0000-0000-C000-000000000046}") return SafetyInterface::Dispatch;
  constexpr const char* kPersistence[] = {"{0000010A-0000-0000-C000-000000000046}",
                                          "{00000109-0000-0000-C000-000000000046}",
                                          "{37D84F60-42CB-11CE-8135-00AA004BB851}"};
  const bool persistence =
      std::any_of(std::begin(kPersistence), std::end(kPersistence), [&](const char* id) { return text == id; });
  return persistence ? SafetyInterface::Persistence : SafetyInterface::Other;
}

}  // namespace

HRESULT ImageBox::GetInterfaceSafetyOptions(const platform::GUID* riid, std::uint32_t* pdwSupportedOptions,
                                            std::uint32_t* pdwEnabledOptions) {
  if (pdwSupportedOptions == nullptr) return platform::E_POINTER;
  *pdwSupportedOptions = kBothOptions;
  if (riid == nullptr) return platform::S_OK;
  const SafetyInterface kind = Classify(*riid);
  if (kind == SafetyInterface::Other) return platform::E_NOINTERFACE;
  if (pdwEnabledOptions == nullptr) return platform::E_POINTER;
  if (kind == SafetyInterface::Dispatch) {
    *pdwEnabledOptions = kSafeForScripting ? platform::INTERFACESAFE_FOR_UNTRUSTED_CALLER : 0;
  } else {
    *pdwEnabledOptions = kSafeForInitializing ? platform::INTERFACESAFE_FOR_UNTRUSTED_DATA : 0;
  }
  return platform::S_OK;
}

// One option at a time: the caller option for IDispatch, the data option
// for the persistence interfaces; none, or both at once, fail.
HRESULT ImageBox::SetInterfaceSafetyOptions(const platform::GUID* riid, std::uint32_t dwOptionSetMask,
                                            std::uint32_t dwEnabledOptions) {
  if (riid == nullptr) return platform::S_OK;
  const std::uint32_t requested = dwOptionSetMask & dwEnabledOptions;
  switch (Classify(*riid)) {
    case SafetyInterface::Dispatch:
      return requested == platform::INTERFACESAFE_FOR_UNTRUSTED_CALLER && kSafeForScripting ? platform::S_OK
                                                                                           : platform::E_FAIL;
    case SafetyInterface::Persistence:
      return requested == platform::INTERFACESAFE_FOR_UNTRUSTED_DATA && kSafeForInitializing ? platform::S_OK
                                                                                            : platform::E_FAIL;
    case SafetyInterface::Other:
      break;
  }
  return platform::E_NOINTERFACE;
}

}  // namespace pixavue
