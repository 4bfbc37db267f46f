#pragma once

#include <cstddef>
#include <cstdint>

// The C interface of the external vehicle model library libudov.so. Numbers are 32 bits, texts
// zero-terminated 8-bit (Windows-1252). A library exports these names with C linkage.

extern "C" {

/// Parameter types of the model.
enum UdovParamType : int16_t {
  UDOV_REAL = 1,      // float32
  UDOV_INTEGER = 2,   // int32
  UDOV_UNSIGNED = 3,  // uint32
  UDOV_TEXT = 4,      // zero-terminated text
};

/// Description of one model parameter, filled by Get_param_info. The caller supplies the three
/// text buffers and their capacities.
struct UdovParamInfo {
  int16_t Type;       // UdovParamType
  char Reserved[10];  // not read
  float Minimum;
  float Maximum;
  int32_t Unused;  // handed on by the model, never used
  float Step;
  char* Name;
  int16_t NameCapacity;
  char* Description;
  int16_t DescriptionCapacity;
  char* Format;  // display format for one number
  int16_t FormatCapacity;
};

/// The model's message handler: severity, text, time [s] (negative when none).
typedef void (*UdovErrorHandler)(int32_t severity, const char* text, float time);

typedef int32_t (*UdovReadConfigFn)(const char* fileName);   // 0 = read
typedef int32_t (*UdovWriteConfigFn)(const char* fileName);  // 0 = written
typedef void (*UdovSetErrorHandlerFn)(UdovErrorHandler handler);
typedef int32_t (*UdovGetParamInfoFn)(int32_t paramClass, int32_t paramId,
                                      UdovParamInfo* info);  // 0 = exists
typedef int32_t (*UdovParamValueFn)(int32_t paramClass, int32_t paramId, int32_t indexCount,
                                    const int32_t* indices, void* value);  // 0 = stored/accepted
typedef int32_t (*UdovPrepareSimulationFn)(void);                          // 0 = run may start
typedef void (*UdovResetSimulationFn)(void);
typedef int32_t (*UdovSimulateStepFn)(int32_t* stepCount);  // 1 or 2
typedef void (*UdovAfterStepFn)(int32_t zero);
typedef int32_t (*UdovNextVehicleFn)(int32_t previous);  // < 1 = none left
typedef int32_t (*UdovOpenTestFileFn)(const char* path);

}  // extern "C"

// The first fields keep the byte offsets of the model's record; the pointer fields follow with
// the alignment of this platform's pointers.
static_assert(offsetof(UdovParamInfo, Minimum) == 12);
static_assert(offsetof(UdovParamInfo, Maximum) == 16);
static_assert(offsetof(UdovParamInfo, Unused) == 20);
static_assert(offsetof(UdovParamInfo, Step) == 24);

/// Capacity of every text buffer handed to Get_param_info [bytes].
constexpr int16_t kUdovInfoBufferSize = 2048;
/// Size of the buffer a text parameter value is read into [bytes].
constexpr int kUdovTextValueSize = 10000;
