#include <gtest/gtest.h>

#include "shell/ui/FormMain.h"

TEST(FormMainWindow, ShowsOffscreen) {
  TFormMain form;
  form.show();
  EXPECT_TRUE(form.isVisible());
}
