// Qt 6 drawing the 32-bit copy of the photo: QImage::scaled fast and smooth
// for the fit, QPainter::drawImage with and without smooth transformation
// for the fit and the scroll steps. Built only when CMake finds Qt 6;
// otherwise draw_speed_no_qt.cpp registers nothing.

#include <QImage>
#include <QPainter>

#include <string>

#include <benchmark/benchmark.h>

#include "draw_speed_fixture.h"

namespace pixavue::bench {
namespace {

QImage PhotoImage() {
  return QImage(reinterpret_cast<const uchar*>(ThePhoto().pixels32()), kPhotoWidth, kPhotoHeight, Photo::stride32(),
                QImage::Format_RGB32);
}

void Scaled(benchmark::State& state, Qt::TransformationMode mode) {
  const QImage photo = PhotoImage();
  for (auto _ : state) {
    QImage fitted = photo.scaled(kFitWidth, kFitHeight, Qt::IgnoreAspectRatio, mode);
    benchmark::DoNotOptimize(fitted.constBits());
  }
}

void Painted(benchmark::State& state, const SourceArea* areas, int count, int width, int height, bool smooth) {
  const QImage photo = PhotoImage();
  QImage target(width, height, QImage::Format_RGB32);
  QPainter painter(&target);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
  int next = 0;
  for (auto _ : state) {
    const SourceArea& a = areas[next];
    next = (next + 1) % count;
    painter.drawImage(QRectF(0, 0, width, height), photo, QRectF(a.x, a.y, a.width, a.height));
    benchmark::DoNotOptimize(target.constBits());
  }
}

void Add(const std::string& name, void (*function)(benchmark::State&)) {
  benchmark::RegisterBenchmark(name.c_str(), function)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime()
      ->MeasureProcessCPUTime();
}

constexpr SourceArea kWhole{0, 0, kPhotoWidth, kPhotoHeight};

}  // namespace

void RegisterQtBaselines() {
  Add("Qt/fit/scaled-fast", [](benchmark::State& s) { Scaled(s, Qt::FastTransformation); });
  Add("Qt/fit/scaled-smooth", [](benchmark::State& s) { Scaled(s, Qt::SmoothTransformation); });
  Add("Qt/fit/painter", [](benchmark::State& s) { Painted(s, &kWhole, 1, kFitWidth, kFitHeight, false); });
  Add("Qt/fit/painter-smooth", [](benchmark::State& s) { Painted(s, &kWhole, 1, kFitWidth, kFitHeight, true); });
  Add("Qt/zoom1/painter", [](benchmark::State& s) { Painted(s, kZoom1Steps, 2, kViewWidth, kViewHeight, false); });
  Add("Qt/zoom2/painter", [](benchmark::State& s) { Painted(s, kZoom2Steps, 2, kViewWidth, kViewHeight, false); });
  Add("Qt/zoom2/painter-smooth",
      [](benchmark::State& s) { Painted(s, kZoom2Steps, 2, kViewWidth, kViewHeight, true); });
}

}  // namespace pixavue::bench
