#include "montecarlo/engine/stream_scan.h"

#include <gtest/gtest.h>

#include <vector>

namespace adequacy {
namespace {

TEST(StreamScanTest, SeedOfDrawIsTheGeneratorsSequence) {
  uint32_t seed = kStartSeed;
  for (uint64_t draw = 0; draw < 1000; ++draw) {
    seed = NextSeed(seed);
    ASSERT_EQ(SeedOfDraw(draw), seed) << draw;
  }
  // The sequence has period 2^32: draw n and draw n + 2^32 share a seed.
  for (uint64_t draw : {0ull, 12345ull, 963599999ull, 4294967295ull}) {
    EXPECT_EQ(SeedOfDraw(draw), SeedOfDraw(draw + (uint64_t{1} << 32)));
  }
  EXPECT_EQ(SeedOfDraw(963600000ull - 1), 1424778627u);
}

TEST(StreamScanTest, SeedThresholdIsTheDrawCompare) {
  for (float p : {0.0f, 0.001470588f, 0.008333334f, 0.00004133598f, 0.5f}) {
    const uint32_t threshold = SeedThreshold(p);
    for (uint32_t seed : {0u, 255u, 256u, threshold - 1, threshold,
                          threshold + 1, 0xFFFFFFFFu}) {
      const float draw = static_cast<float>(static_cast<double>(seed >> 8) *
                                            5.9604644775390625E-8);
      EXPECT_EQ(seed <= threshold, draw <= p) << p << " " << seed;
    }
  }
}

// The fleet's classes of one parity: repairs in 120 to 1008 hours, with a
// failure threshold for each below the widest.
RepairClasses TestClasses() {
  RepairClasses classes;
  classes.count = 5;
  classes.repair = {35791615u, 25565439u, 12782591u, 6391295u, 4260863u};
  classes.fail = {6316032u, 3977215u, 673791u, 266239u, 177407u};
  return classes;
}

// Each hit's gap in each class is where the plain search from the hour
// after it finds the class's repair, the hit being in the class; unknown
// where the search runs off the end.
TEST(StreamScanTest, CollectedGapsAreTheFirstRepairs) {
  const RepairClasses classes = TestClasses();
  const StreamScanner plain = PlainScanner();
  constexpr uint32_t kHours = 20000;
  for (uint32_t start : {3u, 2808073403u}) {
    std::vector<GapHit> hits;
    PlainCollectGaps(start, kHours, classes.fail[0], classes, &hits);
    ASSERT_GT(hits.size(), 10u);
    int waiting = 0;
    for (const GapHit& hit : hits) {
      uint32_t after = start;
      for (uint32_t h = 0; h <= hit.hour; ++h) after = kHourStep.Apply(after);
      for (int k = 0; k < classes.count; ++k) {
        const uint32_t left = kHours - hit.hour - 1;
        const uint32_t found = plain.find_first(after, left, classes.repair[k]);
        const bool in_class = hit.seed <= classes.fail[k];
        const uint16_t expected =
            !in_class || found == left ? 0 : static_cast<uint16_t>(found + 1);
        EXPECT_EQ(hit.gap[k], expected) << start << " " << hit.hour << " " << k;
        waiting += in_class && found > 128 ? 1 : 0;
      }
    }
    EXPECT_GT(waiting, 0);  // Some repairs lie windows away.
  }
}

// Each vector scanner this processor runs finds exactly what the plain one
// does, hits in the tail after the last whole window included.
void ExpectAgreesWithThePlainScanner(const StreamScanner& best) {
  const StreamScanner plain = PlainScanner();
  for (uint32_t threshold : {0u, 6316032u, 35791615u, 0x7FFFFFFFu}) {
    for (uint32_t start : {3u, 207208u, 2808073403u}) {
      for (uint32_t hours :
           {0u, 1u, 63u, 64u, 65u, 127u, 128u, 129u, 200u, 5000u}) {
        EXPECT_EQ(best.find_first(start, hours, threshold),
                  plain.find_first(start, hours, threshold));
        std::vector<StreamHit> a, b;
        plain.collect(start, hours, threshold, &a);
        best.collect(start, hours, threshold, &b);
        ASSERT_EQ(a.size(), b.size());
        for (size_t i = 0; i < a.size(); ++i) {
          EXPECT_EQ(a[i].hour, b[i].hour);
          EXPECT_EQ(a[i].seed, b[i].seed);
        }
      }
    }
  }
  if (!best.collect_gaps) return;
  // Gaps too, over hours that end mid-window and runs long enough for
  // failures to wait windows for their repair.
  const RepairClasses classes = TestClasses();
  for (uint32_t start : {3u, 207208u, 2808073403u}) {
    for (uint32_t hours : {0u, 1u, 127u, 128u, 129u, 5000u, 65536u}) {
      std::vector<GapHit> a, b;
      PlainCollectGaps(start, hours, classes.fail[0], classes, &a);
      best.collect_gaps(start, hours, classes.fail[0], classes, &b);
      ASSERT_EQ(a.size(), b.size());
      for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].hour, b[i].hour);
        EXPECT_EQ(a[i].seed, b[i].seed);
        EXPECT_EQ(a[i].gap, b[i].gap) << start << " " << a[i].hour;
      }
    }
  }
}

TEST(StreamScanTest, Avx2ScannerAgreesWithThePlainOne) {
  const std::optional<StreamScanner> avx2 = Avx2Scanner();
  if (!avx2) GTEST_SKIP() << "this processor has no AVX2";
  ExpectAgreesWithThePlainScanner(*avx2);
}

TEST(StreamScanTest, Avx512ScannerAgreesWithThePlainOne) {
  const std::optional<StreamScanner> wide = Avx512Scanner();
  if (!wide) GTEST_SKIP() << "this processor has no AVX-512";
  ExpectAgreesWithThePlainScanner(*wide);
}

}  // namespace
}  // namespace adequacy
