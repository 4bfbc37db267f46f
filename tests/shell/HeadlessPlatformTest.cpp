#include <gtest/gtest.h>

#include "shell/HeadlessPlatform.h"

TEST(NeedsOffscreenPlatform, OnlyABatchWithoutAnyDisplay) {
  const std::vector<std::string> batch = {"case.kav", "batch=5,0,1,40"};
  const std::vector<std::string> open = {"case.kav"};
  struct Case {
    const std::vector<std::string>* parameters;
    const char* display;
    const char* wayland;
    const char* platform;
    bool offscreen;
  } cases[] = {
      {&batch, nullptr, nullptr, nullptr, true}, {&batch, "", "", "", true},
      {&batch, ":0", nullptr, nullptr, false},   {&batch, nullptr, "wayland-0", nullptr, false},
      {&batch, nullptr, nullptr, "xcb", false},   // the user's choice is kept
      {&open, nullptr, nullptr, nullptr, false},  // interactive use needs a display
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.parameters->size() << " " << (c.display ? c.display : "-")
                                    << " " << (c.wayland ? c.wayland : "-"));
    EXPECT_EQ(c.offscreen, NeedsOffscreenPlatform(*c.parameters, c.display, c.wayland, c.platform));
  }
}
