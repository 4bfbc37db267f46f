#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "extmodel/UdovLibrary.h"
#include "extmodel/UdovMessages.h"

namespace {

TEST(UdovLibraryLoad, MissingLibraryReportsCleanly) {
  std::string error;
  auto library = UdovLibrary::Load("/nonexistent/libudov.so", error);
  EXPECT_EQ(library, nullptr);
  EXPECT_EQ(error.rfind("Cannot load the external vehicle model library "
                        "\"/nonexistent/libudov.so\": ",
                        0),
            0u)
      << error;
}

TEST(UdovLibraryLoad, LibraryLackingACallIsRefused) {
  std::string error;
  auto library = UdovLibrary::Load(FAKE_UDOV_INCOMPLETE_LIBRARY, error);
  EXPECT_EQ(library, nullptr);
  EXPECT_EQ(error, std::string("The external vehicle model library \"") +
                       FAKE_UDOV_INCOMPLETE_LIBRARY +
                       "\" has no call \"Write_config\" (ordinal 13)");
}

TEST(UdovLibraryLoad, PathIsNextToTheProgramWhenNotInstalled) {
  EXPECT_EQ(UdovLibraryPath("/nonexistent-kavro/bin/"), "/nonexistent-kavro/bin/libudov.so");
  EXPECT_EQ(UdovLibraryPath(""), "./libudov.so");
}

class UdovLibraryCalls : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    library = UdovLibrary::Load(FAKE_UDOV_LIBRARY, error);
    ASSERT_NE(library, nullptr) << error;
    // A second handle on the same loaded library reaches the fake's test accessors.
    inspector = dlopen(FAKE_UDOV_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(inspector, nullptr);
  }
  void TearDown() override {
    if (inspector) dlclose(inspector);
  }
  template <typename Fn>
  Fn Accessor(const char* name) {
    return reinterpret_cast<Fn>(dlsym(inspector, name));
  }

  std::unique_ptr<UdovLibrary> library;
  void* inspector = nullptr;
};

TEST_F(UdovLibraryCalls, ConfigurationAndVehicleWalk) {
  const UdovCalls& calls = library->Calls();
  EXPECT_EQ(calls.ReadConfig("good.dov"), 0);
  EXPECT_EQ(calls.ReadConfig("bad.dov"), 5);
  EXPECT_EQ(calls.WriteConfig("out.dov"), 0);
  EXPECT_EQ(calls.PrepareSimulation(), 0);
  std::vector<int32_t> vehicles;
  for (int32_t v = calls.NextVehicle(0); v >= 1; v = calls.NextVehicle(v)) vehicles.push_back(v);
  EXPECT_EQ(vehicles, (std::vector<int32_t>{1, 2, 3}));
}

TEST_F(UdovLibraryCalls, ParameterInfoFillsTheCallersBuffers) {
  std::vector<char> name(kUdovInfoBufferSize), description(kUdovInfoBufferSize),
      format(kUdovInfoBufferSize);
  UdovParamInfo info{};
  info.Name = name.data();
  info.NameCapacity = kUdovInfoBufferSize;
  info.Description = description.data();
  info.DescriptionCapacity = kUdovInfoBufferSize;
  info.Format = format.data();
  info.FormatCapacity = 4;
  ASSERT_EQ(library->Calls().GetParamInfo(1, 7, &info), 0);
  EXPECT_EQ(info.Type, UDOV_REAL);
  EXPECT_FLOAT_EQ(info.Minimum, 50.0f);
  EXPECT_FLOAT_EQ(info.Maximum, 130.0f);
  EXPECT_FLOAT_EQ(info.Step, 2.5f);
  EXPECT_STREQ(name.data(), "Desired speed");
  EXPECT_STREQ(description.data(), "Speed drivers aim for");
  EXPECT_STREQ(format.data(), "%5.") << "the capacity is respected";
  EXPECT_NE(library->Calls().GetParamInfo(9, 9, &info), 0);
}

TEST_F(UdovLibraryCalls, ParameterValuesByAddress) {
  const UdovCalls& calls = library->Calls();
  float speed = 0;
  ASSERT_EQ(calls.GetParamValue(1, 7, 0, nullptr, &speed), 0);
  EXPECT_FLOAT_EQ(speed, 80.0f);
  float newSpeed = 100.0f;
  ASSERT_EQ(calls.SetParamValue(1, 7, 0, nullptr, &newSpeed), 0);
  ASSERT_EQ(calls.GetParamValue(1, 7, 0, nullptr, &speed), 0);
  EXPECT_FLOAT_EQ(speed, 100.0f);
  const int32_t indices[3] = {4, 20, 300};
  int32_t combined = 0;
  ASSERT_EQ(calls.GetParamValue(2, 1, 2, indices, &combined), 0);
  EXPECT_EQ(combined, 2024);
}

TEST_F(UdovLibraryCalls, StepResultDecidesTheAfterStepCalls) {
  auto setResult = Accessor<void (*)(int32_t)>("FakeUdov_SetStepResult");
  auto afterCalls = Accessor<int32_t (*)(int32_t)>("FakeUdov_AfterStepCalls");
  ASSERT_TRUE(setResult && afterCalls);
  struct Case {
    int32_t result;
    int32_t after14;
    int32_t after15;
  };
  for (Case c : {Case{1, 1, 0}, Case{2, 1, 1}, Case{0, 0, 0}, Case{3, 0, 0}}) {
    SCOPED_TRACE(c.result);
    library->Calls().ResetSimulation();
    setResult(c.result);
    EXPECT_EQ(library->SimulateOneStep(), c.result);
    EXPECT_EQ(afterCalls(0), c.after14);
    EXPECT_EQ(afterCalls(1), c.after15);
  }
  setResult(1);
}

TEST_F(UdovLibraryCalls, ModelMessagesReachTheSink) {
  std::vector<std::string> received;
  SetModelMessageSink([&](int severity, const std::string& text, const std::string& caption) {
    received.push_back(std::to_string(severity) + "|" + caption + "|" + text);
  });
  library->Calls().SetErrorHandler(UdovMessage);
  library->Calls().OpenTestFile("/opt/TestFile.txt");
  SetSuppressModelMessages(true);
  library->Calls().OpenTestFile("/suppressed");
  SetSuppressModelMessages(false);
  UdovMessage(3, "no time", -1.0f);
  SetModelMessageSink(nullptr);
  library->Calls().SetErrorHandler(nullptr);
  EXPECT_EQ(received,
            (std::vector<std::string>{"2|Message severity 2|time 1.5 s: /opt/TestFile.txt\n",
                                      "3|Message severity 3|no time\n"}));
}

}  // namespace
