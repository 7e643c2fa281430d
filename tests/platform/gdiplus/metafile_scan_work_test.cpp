// The scan-conversion work of a path's edges: overlapping pairs against a
// count of every pair, and work that grows with crossings and overlaps.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "metafile_hostile_files.h"
#include "metafile_scan_work.h"

namespace pixavue::platform::test {
namespace {

using gdiplus::metafile::EdgeSpans;
using gdiplus::metafile::ScanConversionWork;

TEST(MetafileScanWorkTest, OverlappingPairsMatchACountOfEveryPair) {
  HostileRandom random(23);
  for (int round = 0; round < 20; ++round) {
    EdgeSpans spans;
    std::vector<std::pair<double, double>> edges;
    const int count = 1 + random.Below(300);
    for (int i = 0; i < count; ++i) {
      // Whole and half rows, so that edges also meet end to end.
      const double a = random.Below(200) / 2.0, b = random.Below(200) / 2.0;
      spans.Add(std::min(a, b), std::max(a, b));
      if (a != b) edges.emplace_back(std::min(a, b), std::max(a, b));
    }
    double pairs = 0;
    for (std::size_t i = 0; i < edges.size(); ++i) {
      for (std::size_t j = i + 1; j < edges.size(); ++j) {
        if (edges[i].first < edges[j].second && edges[j].first < edges[i].second) ++pairs;
      }
    }
    EXPECT_EQ(spans.OverlappingPairs(), pairs) << "round " << round;
    EXPECT_EQ(spans.Count(), edges.size());
  }
}

TEST(MetafileScanWorkTest, WorkGrowsFasterThanTheEdgesWhenTheyAllOverlap) {
  // Horizontal edges and edges outside the output cost nothing.
  EdgeSpans flat;
  flat.Add(5, 5);
  flat.Add(0, 0);
  EXPECT_EQ(ScanConversionWork(flat, 100), 0);

  // Edges stacked one after another cost in proportion to their number;
  // the same edges all across the output cost far more, as every pair of
  // them may cross.
  EdgeSpans stacked, across;
  for (int i = 0; i < 1000; ++i) {
    stacked.Add(i, i + 1);
    across.Add(0, 1000);
  }
  EXPECT_EQ(stacked.OverlappingPairs(), 0);
  EXPECT_EQ(across.OverlappingPairs(), 1000.0 * 999 / 2);
  EXPECT_GT(ScanConversionWork(across, 1000), 1000 * ScanConversionWork(stacked, 1000));
}

}  // namespace
}  // namespace pixavue::platform::test
