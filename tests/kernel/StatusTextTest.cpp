#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "kernel/StatusText.h"

// The lane change status must read exactly as the C library formats it, rounding included.

namespace {

std::string Expected(const char* kind, float value, std::size_t size = 21) {
  char text[64];
  std::snprintf(text, size, "%s %.2f", kind, static_cast<double>(value));
  return text;
}

std::string Written(const char* kind, float value, std::size_t size = 21) {
  char text[64];
  std::memset(text, 'x', sizeof text);
  FormatStatus(text, size, kind, value);
  return text;
}

}  // namespace

TEST(FormatStatus, MatchesPrintfOnChosenValues) {
  const float values[] = {0.0f,      -0.0f,       -0.001f, 0.004f, 0.005f,  -0.005f,
                          0.125f,    -0.125f,     0.375f,  2.675f, -2.4f,   -3.0f,
                          -7.0f,     1.005f,      -1.995f, 9.995f, 99.995f, 123456.78f,
                          999999.9f, 999999.995f, 1e6f,    -1e7f,  1e-30f,  -1e-45f};
  for (float value : values) {
    SCOPED_TRACE(value);
    EXPECT_EQ(Written("ML", value), Expected("ML", value));
  }
}

TEST(FormatStatus, MatchesPrintfOnEveryQuarterHundredthAndRandomFloats) {
  // Quarter hundredths hit the exact ties where rounding goes to even.
  for (int k = -4000; k <= 4000; ++k) {
    float value = static_cast<float>(k) / 400;
    ASSERT_EQ(Written("WR", value), Expected("WR", value)) << k;
  }
  std::mt19937 generator(12345);
  std::uniform_real_distribution<float> deceleration(-10.0f, 0.0f);
  for (int i = 0; i < 200000; ++i) {
    float value = deceleration(generator);
    ASSERT_EQ(Written("WL", value), Expected("WL", value)) << value;
  }
  // Any bit pattern: large, tiny and special values alike.
  std::uniform_int_distribution<std::uint32_t> bits;
  for (int i = 0; i < 200000; ++i) {
    std::uint32_t pattern = bits(generator);
    float value;
    std::memcpy(&value, &pattern, sizeof value);
    ASSERT_EQ(Written("MR", value, 64), Expected("MR", value, 64)) << pattern;
  }
}

TEST(FormatStatus, SpecialValuesAndShortBuffersAsPrintf) {
  const float values[] = {
      std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::quiet_NaN(),
      std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(), -2.5f};
  for (float value : values) {
    for (std::size_t size : {1u, 4u, 8u, 21u}) {
      SCOPED_TRACE(std::to_string(value) + " in " + std::to_string(size));
      EXPECT_EQ(Written("WL", value, size), Expected("WL", value, size));
    }
  }
}
