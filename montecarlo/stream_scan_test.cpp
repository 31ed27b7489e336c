#include "montecarlo/stream_scan.h"

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

// Each vector scanner this processor runs finds exactly what the plain one
// does, hits in the tail after the last whole block included.
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
