// The file chain's plug-in step. The plug-in reads the formats the imaging
// library does not; while it is absent the step declines every file.

#include <pixavue/engine/image_loaders.h>
#include <pixavue/engine/image_session.h>

namespace pixavue::engine {

QuorvexStatus LoadWithPlugin(const std::string& /*path*/, bool /*colorManaged*/, bool /*inPlaceTiff*/,
                             bool /*inPlaceGif*/, ImageId& id) {
  id = kNoImage;
  if (!PluginPresent()) return QuorvexStatus::Aborted;
  // With the plug-in bridge, the remaining steps are: detect the file's
  // format with the plug-in; BMP, PNG, GIF and formats it does not know give
  // UnknownImageFormat, so that the imaging library decodes them; otherwise
  // open the file (a multi-page bitmap for TIFF and GIF documents) and
  // convert it into a registered image. Until then the library decodes
  // every file.
  return QuorvexStatus::UnknownImageFormat;
}

}  // namespace pixavue::engine
