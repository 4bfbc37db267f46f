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
