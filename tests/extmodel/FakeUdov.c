/* A stand-in for the external vehicle model library, written in C against the library's header,
   so the loader tests prove the call table's types match what a C library exports. Built twice:
   complete, and with FAKE_UDOV_INCOMPLETE lacking Write_config. */
#include <stdint.h>
#include <string.h>

#include "udov/udov.h"

static UdovErrorHandler handler;
static float storedSpeed = 80.0f;
static int32_t afterStepCalls[2];
static int32_t stepResult = 1;

static void CopyText(char* buffer, int16_t capacity, const char* text) {
  if (!buffer || capacity < 1) return;
  strncpy(buffer, text, (size_t)capacity - 1);
  buffer[capacity - 1] = '\0';
}

int32_t Prepare_simulation(void) { return 0; }
void Reset_simulation(void) { afterStepCalls[0] = afterStepCalls[1] = 0; }
int32_t Next_vehicle(int32_t previous) { return previous < 3 ? previous + 1 : 0; }
int32_t Read_config(const char* fileName) { return strcmp(fileName, "good.dov") == 0 ? 0 : 5; }
#ifndef FAKE_UDOV_INCOMPLETE
int32_t Write_config(const char* fileName) { return fileName[0] ? 0 : 1; }
#endif
void Set_errorhandler(UdovErrorHandler h) { handler = h; }
int32_t Open_test_file(const char* path) {
  if (handler) handler(2, path, 1.5f);
  return 0;
}

int32_t Get_param_info(int32_t paramClass, int32_t paramId, UdovParamInfo* info) {
  if (paramClass != 1 || paramId != 7) return 1;
  info->Type = 1;
  info->Minimum = 50.0f;
  info->Maximum = 130.0f;
  info->Unused = 42;
  info->Step = 2.5f;
  CopyText(info->Name, info->NameCapacity, "Desired speed");
  CopyText(info->Description, info->DescriptionCapacity, "Speed drivers aim for");
  CopyText(info->Format, info->FormatCapacity, "%5.1f");
  return 0;
}

/* Class 1, id 7: the real value "desired speed"; class 2, id 1: an integer computed from the
   indices, so the test sees that the index count and array arrive. */
int32_t Get_param_value(int32_t paramClass, int32_t paramId, int32_t indexCount,
                        const int32_t* indices, void* value) {
  if (paramClass == 1 && paramId == 7) {
    *(float*)value = storedSpeed;
    return 0;
  }
  if (paramClass == 2 && paramId == 1) {
    int32_t sum = indexCount * 1000;
    for (int32_t i = 0; i < indexCount; ++i) sum += indices[i];
    *(int32_t*)value = sum;
    return 0;
  }
  return 3;
}

int32_t Set_param_value(int32_t paramClass, int32_t paramId, int32_t indexCount,
                        const int32_t* indices, void* value) {
  (void)indexCount;
  (void)indices;
  if (paramClass != 1 || paramId != 7) return 3;
  storedSpeed = *(const float*)value;
  return 0;
}

int32_t Simulate_step(int32_t* steps) { return *steps == 1 ? stepResult : -1; }
void After_step(int32_t zero) { afterStepCalls[0] += zero == 0; }
void After_step_detectors(int32_t zero) { afterStepCalls[1] += zero == 0; }

/* Test access to the fake's state. */
void FakeUdov_SetStepResult(int32_t result) { stepResult = result; }
int32_t FakeUdov_AfterStepCalls(int32_t which) { return afterStepCalls[which]; }
