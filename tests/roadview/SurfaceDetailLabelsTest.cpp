#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "roadview/SurfaceDetailLabels.h"

TEST(SurfaceDetailFormat, FromThePercentToTheConversionLetter) {
  struct Case {
    std::string format;
    bool real;
    std::string display;
  };
  const std::vector<Case> cases = {
      {"%5.1f m", true, "%5.1f"},
      {"friction %4.2f", true, "%4.2f"},
      {"%d lanes", false, "%d"},
      {"%-3x", false, "%-3x"},
      {"no number", true, "%g"},
      {"%s", true, "%g"},      // a text conversion would read a pointer
      {"%n", false, "%d"},     // writes memory
      {"%5.1f", false, "%d"},  // a real conversion for a whole number
      {"%*d", false, "%d"},    // a width from the argument list
      {"%99999999999d", false, "%d"},
      {"%", true, "%g"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.format);
    EXPECT_EQ(DetailDisplayFormat(c.format, c.real), c.display);
  }
}

TEST(SurfaceDetailFormat, RealsAsFloatsOthersTruncated) {
  EXPECT_EQ(FormatDetailValue({true, true, "%4.2f"}, 0.456f), "0.46");
  EXPECT_EQ(FormatDetailValue({true, false, "%d"}, 2.9f), "2");
  EXPECT_EQ(FormatDetailValue({true, false, "%d"}, -2.9f), "-2");
}

TEST(SurfaceDetailFormat, WholeTextWhenItHoldsOneFittingConversion) {
  EXPECT_EQ(FormatDetailText({false, true, "%.1f %%"}, 0.5f), "0.5 %");
  EXPECT_EQ(FormatDetailText({true, true, "width %5.2f m"}, 3.5f), "width  3.50 m");
  EXPECT_EQ(FormatDetailText({true, false, "%d%% of %x"}, 10.0f), "10");  // two conversions
  EXPECT_EQ(FormatDetailText({true, true, "%.1f %s"}, 1.0f), "1.0");
  EXPECT_EQ(FormatDetailText({true, true, "%d m"}, 1.0f), "1");      // whole for a real: %g
  EXPECT_EQ(FormatDetailText({true, true, "%.1f %"}, 1.0f), "1.0");  // a lone "%" at the end
  EXPECT_EQ(FormatDetailText({true, true, "no number"}, 2.0f), "2");
  const std::string longText(2000, 'x');
  EXPECT_EQ(FormatDetailText({true, true, longText + "%.0f"}, 7.0f), longText + "7");
}
