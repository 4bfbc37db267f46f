// Formats from outside the program (patched texts, the external model's display formats) are
// filled only with the values they take: the conversions are read as printf reads them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/PrintfFormat.h"

namespace {

using Conversions = std::vector<std::string>;

TEST(PrintfConversions, ListKindAndLengthModifierInOrder) {
  EXPECT_EQ(PrintfConversions("Detector %d at %5.1f km/h: %s"), (Conversions{"d", "f", "s"}));
  EXPECT_EQ(PrintfConversions("%ld %lld %Lf %zu"), (Conversions{"ld", "lld", "Lf", "zu"}));
  EXPECT_EQ(PrintfConversions("%*d"), (Conversions{"*", "d"}));
  EXPECT_EQ(PrintfConversions("100 %% sure"), Conversions{});
  // A "%" that starts no conversion still counts, so it cannot pass for text.
  EXPECT_EQ(PrintfConversions("50 %"), Conversions{""});
  EXPECT_EQ(PrintfConversions("%y%d"), (Conversions{"", "d"}));
  EXPECT_EQ(PrintfConversions("%1$d"), Conversions{""});
}

TEST(SingleConversion, TakesOneValueOfTheKindAndNothingElse) {
  const char* real = "fFeEgG";
  EXPECT_TRUE(SingleConversion("%.1f %%", real));
  EXPECT_TRUE(SingleConversion("width %5.2f m", real));
  EXPECT_TRUE(SingleConversion("%-+#08.3e", real));
  EXPECT_FALSE(SingleConversion("%d m", real));
  EXPECT_TRUE(SingleConversion("%d m", "dixX"));
  EXPECT_FALSE(SingleConversion("%f of %f", real));
  EXPECT_FALSE(SingleConversion("%Lf", real)) << "a long double is not what is passed";
  EXPECT_FALSE(SingleConversion("%.1f %", real));
  EXPECT_FALSE(SingleConversion("%.1f %s", real));
  EXPECT_FALSE(SingleConversion("no number", real));
  EXPECT_FALSE(SingleConversion(std::string("%\0f", 3), real)) << "a zero byte is no conversion";
}

TEST(SingleConversion, WidthAndPrecisionHaveAtMostThreeDigits) {
  EXPECT_TRUE(SingleConversion("%999.999f", "f"));
  EXPECT_FALSE(SingleConversion("%1000f", "f"));
  EXPECT_FALSE(SingleConversion("%.2147483647f", "f"));
  EXPECT_TRUE(SingleConversion("1234567 %3.1f", "f")) << "digits of the text do not count";
}

}  // namespace
