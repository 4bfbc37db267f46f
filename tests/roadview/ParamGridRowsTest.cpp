#include <gtest/gtest.h>

#include "config/KDConfig.h"
#include "config/VDCTypes.h"
#include "config/fs_params.h"
#include "roadview/ParamGridRows.h"

TEST(ParamGridFormat, TypeFollowsTheConversion) {
  EXPECT_EQ(ParamFormatType("%4.1f m/s\xB3"), ParamValueType::Real);
  EXPECT_EQ(ParamFormatType("%d kW/ton"), ParamValueType::Integer);
  EXPECT_EQ(ParamFormatType("%3u"), ParamValueType::Integer);
  EXPECT_EQ(ParamFormatType("%g"), ParamValueType::Real);
  EXPECT_EQ(ParamFormatType("%s"), ParamValueType::Unknown);
  EXPECT_EQ(ParamFormatType("none"), ParamValueType::Unknown);
  EXPECT_EQ(FormatParamValue("%d kW/ton", 12.9f), "12 kW/ton");
}

TEST(ParamGridSlider, NinetyNineStepsBetweenATenthAndTenMoveByATenth) {
  EXPECT_EQ(SliderPageSize(99), 10);
  EXPECT_EQ(SliderPageSize(50), 2);
  EXPECT_EQ(SliderPageSize(501), 100);
  EXPECT_EQ(SliderPageSize(500001), 100000);
  EXPECT_NEAR(SliderValue(0.1f, 10, 99, 1) - SliderValue(0.1f, 10, 99, 0), 0.1f, 1e-6);
  EXPECT_EQ(SliderPosition(0.1f, 10, 99, 0.6f), 5);
  EXPECT_EQ(SliderPosition(0.1f, 10, 99, 0.64f), 5);
  EXPECT_EQ(SliderPosition(0.1f, 10, 99, 0.66f), 6);
  EXPECT_EQ(SliderPosition(0.1f, 10, 99, 10), 99);
}

TEST(ParamGridRows, FifteenRowsPerVehicleTypeAndThreeGeneral) {
  KDConfig config;
  const auto rows = BuildParamGridRows(config, VDC_KAVRO, 3);
  ASSERT_EQ(rows.size(), 15u);
  EXPECT_EQ(rows[FS_length].name, "length ");
  EXPECT_EQ(rows[FS_length].ValueText(), " 8.0 m");
  EXPECT_EQ(BuildParamGridRows(config, kGeneralParamKind, -1).size(), 3u);
}

TEST(ParamGridValue, TypedValuesOutsideTheLimitsNameThem) {
  KDConfig config;
  const auto rows = BuildParamGridRows(config, VDC_KAVRO, 0);
  float value = 0;
  std::string message;
  EXPECT_TRUE(ParseParamValue(rows[FS_length], " 12.5 ", value, message));
  EXPECT_FLOAT_EQ(value, 12.5f);
  EXPECT_FALSE(ParseParamValue(rows[FS_length], "19", value, message));
  EXPECT_EQ(message, "length must be a number from 3.0 m to 18.0 m");
  EXPECT_FALSE(ParseParamValue(rows[FS_length], "4,5", value, message));
  EXPECT_FALSE(ParseParamValue(rows[FS_specific_power], "12.5", value, message));
  EXPECT_EQ(message, "specific power avg must be a whole number from 5 kW/ton to 100 kW/ton");
  EXPECT_FALSE(ParseParamValue(rows[FS_length], "abc", value, message));
}
