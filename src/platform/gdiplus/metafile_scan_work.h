#pragma once
// The work of scan-converting a path's edges: cairo visits every edge on
// every sub-sampled row it spans, keeping the row's edges sorted, and sorts
// again wherever two edges cross. Crossing pairs can only be edges whose
// rows overlap, so their number bounds the sorting.

#include <cstdint>
#include <vector>

namespace pixavue::platform::gdiplus::metafile {

// The rows (output pixels, within the output) spanned by the edges of a
// path being built.
class EdgeSpans final {
 public:
  void Add(double top, double bottom);
  void Clear() noexcept;
  // Sum over the edges of the rows each spans.
  double Rows() const noexcept { return rows_; }
  std::size_t Count() const noexcept { return tops_.size(); }
  // Pairs of edges whose rows overlap, in O(n log n).
  double OverlappingPairs() const;

 private:
  std::vector<float> tops_;
  std::vector<float> bottoms_;
  double rows_ = 0;
};

// Work units of filling edges with these spans: each row an edge crosses
// costs in proportion to the logarithm of the edges active on a row, each
// pair of edges sharing rows a fixed amount. `outputRows` is the height the
// edges lie in.
double ScanConversionWork(const EdgeSpans& spans, double outputRows);

}  // namespace pixavue::platform::gdiplus::metafile
