// The surface attributes and flag properties: each setter stores the value
// and reports the change; none of them draws.

#include <pixavue/control/image_box.h>

namespace pixavue {

void ImageBox::put_BackColor(OLE_COLOR color) {
  surface_.SetBackColor(color);
  ReportChange("BackColor");
}

void ImageBox::SetBackGroundColor(OLE_COLOR nRGBColor) { surface_.SetBackColor(nRGBColor); }

void ImageBox::put_BackStyle(ViewerBackStyleMode style) {
  surface_.SetBackStyle(style);
  ReportChange("BackStyle");
}

void ImageBox::put_Appearance(ViewerAppearance appearance) {
  surface_.SetAppearance(appearance);
  ReportChange("Appearance");
}

void ImageBox::put_BorderStyle(ViewerBorderStyle style) {
  surface_.SetBorderStyle(style);
  ReportChange("BorderStyle");
}

void ImageBox::put_ClipControls(bool clip) {
  surface_.SetClipControls(clip);
  ReportChange("ClipControls");
}

void ImageBox::put_Enabled(bool enabled) {
  props_.Enabled = enabled;
  surface_.SetEnabled(enabled);
  ReportChange("Enabled");
}

void ImageBox::put_SilentMode(bool silent) {
  props_.SilentMode = silent;
  ReportChange("SilentMode");
}

void ImageBox::put_LockControl(bool lock) {
  props_.LockControl = lock;
  ReportChange("LockControl");
}

void ImageBox::put_ImageForceTemporaryMode(bool force) {
  props_.ImageForceTemporaryMode = force;
  ReportChange("ImageForceTemporaryMode");
}

void ImageBox::put_SkipImageResolution(bool skip) {
  props_.SkipImageResolution = skip;
  ReportChange("SkipImageResolution");
}

void ImageBox::put_ForcePictureMode(bool force) {
  props_.ForcePictureMode = force;
  ReportChange("ForcePictureMode");
}

void ImageBox::put_OptimizeDrawingSpeed(bool optimize) {
  props_.OptimizeDrawingSpeed = optimize;
  ReportChange("OptimizeDrawingSpeed");
}

// Turning it on turns OptimizeDrawingSpeed on; turning it off leaves that.
void ImageBox::put_ScrollOptimization(bool optimize) {
  props_.ScrollOptimization = optimize;
  if (optimize) put_OptimizeDrawingSpeed(true);
  ReportChange("ScrollOptimization");
}

void ImageBox::put_gamma(float gamma) {
  props_.Gamma = gamma;
  ReportChange("Gamma");
}

void ImageBox::put_ImageMaskColor(OLE_COLOR color) {
  props_.ImageMaskColor = color;
  ReportChange("ImageMaskColor");
}

void ImageBox::put_ContinuousViewMode(bool continuous) {
  props_.ContinuousViewMode = continuous;
  ReportChange("ContinuousViewMode");
}

void ImageBox::put_DisableAutoFocus(bool disable) {
  props_.DisableAutoFocus = disable;
  ReportChange("DisableAutoFocus");
}

}  // namespace pixavue
