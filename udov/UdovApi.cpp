// The exported C calls of libudov: one model per process, as the program expects.
#include <cstring>
#include <string>

#include "UdovModel.h"

namespace {

udov::Model& TheModel() {
  static udov::Model model;
  return model;
}

UdovErrorHandler handler = nullptr;
std::string testFile;

void CopyText(char* buffer, int16_t capacity, const char* text) {
  if (!buffer || capacity < 1) return;
  std::strncpy(buffer, text, static_cast<size_t>(capacity) - 1);
  buffer[capacity - 1] = '\0';
}

void Send(int severity, const std::string& text, float time) {
  if (handler) handler(severity, text.c_str(), time);
}

}  // namespace

extern "C" {

int32_t Prepare_simulation(void) { return TheModel().Prepare() ? 0 : 1; }

int32_t Next_vehicle(int32_t previous) { return TheModel().NextVehicle(previous); }

int32_t Get_param_info(int32_t paramClass, int32_t paramId, UdovParamInfo* info) {
  const udov::ParamDef* def = udov::FindParam(paramClass, paramId);
  if (!def) return UDOV_NO_PARAMETER;
  if (!info) return UDOV_OK;
  info->Type = def->type;
  info->Minimum = def->minimum;
  info->Maximum = def->maximum;
  info->Unused = 0;
  info->Step = def->step;
  CopyText(info->Name, info->NameCapacity, def->name);
  CopyText(info->Description, info->DescriptionCapacity, def->description);
  CopyText(info->Format, info->FormatCapacity, def->format);
  return UDOV_OK;
}

int32_t Get_param_value(int32_t paramClass, int32_t paramId, int32_t indexCount,
                        const int32_t* indices, void* value) {
  const udov::ParamDef* def = udov::FindParam(paramClass, paramId);
  if (!def) return UDOV_NO_PARAMETER;
  if (!value || indexCount < 0 || indexCount > 3) return UDOV_BAD_INDEX;
  if (!def->key) return TheModel().RunTimeValue(*def, indexCount, indices, value);
  udov::Slot slot;
  int result = udov::ResolveSlot(TheModel().Config(), *def, indexCount, indices, slot);
  if (result != UDOV_OK) return result;
  switch (slot.type) {
    case UDOV_TYPE_REAL:
      *static_cast<float*>(value) = *static_cast<float*>(slot.place);
      break;
    case UDOV_TYPE_INTEGER:
      *static_cast<int32_t*>(value) = *static_cast<int32_t*>(slot.place);
      break;
    case UDOV_TYPE_UNSIGNED:
      *static_cast<uint32_t*>(value) = *static_cast<uint32_t*>(slot.place);
      break;
    case UDOV_TYPE_TEXT: {
      // The program reads texts into 10000 bytes.
      const std::string& text = *static_cast<std::string*>(slot.place);
      CopyText(static_cast<char*>(value), 10000 > 32767 ? 32767 : 10000, text.c_str());
      break;
    }
  }
  return UDOV_OK;
}

int32_t Set_param_value(int32_t paramClass, int32_t paramId, int32_t indexCount,
                        const int32_t* indices, void* value) {
  const udov::ParamDef* def = udov::FindParam(paramClass, paramId);
  if (!def) return UDOV_NO_PARAMETER;
  if (!value || indexCount < 0 || indexCount > 3) return UDOV_BAD_INDEX;
  int result = udov::StoreValue(TheModel().Config(), *def, indexCount, indices, value);
  if (result == UDOV_OK) TheModel().ConfigChanged();
  return result;
}

int32_t Read_config(const char* fileName) {
  if (!fileName) return 1;
  std::string error;
  if (TheModel().ReadFile(fileName, error)) return 0;
  Send(2, error, -1);
  return 1;
}

int32_t Write_config(const char* fileName) {
  if (!fileName) return 1;
  std::string error;
  if (TheModel().WriteFile(fileName, error)) return 0;
  Send(2, error, -1);
  return 1;
}

void Reset_simulation(void) { TheModel().Reset(); }

void Set_errorhandler(UdovErrorHandler h) {
  handler = h;
  TheModel().SetMessageSink(
      [](int severity, const std::string& text, float time) { Send(severity, text, time); });
}

int32_t Open_test_file(const char* path) {
  // Remembered for a test log; this model writes none.
  testFile = path ? path : "";
  return 0;
}

int32_t Simulate_step(int32_t* steps) {
  if (!steps || *steps != 1) return 0;
  return TheModel().Step();
}

void After_step(int32_t) { TheModel().AfterStep(); }

void After_step_detectors(int32_t) { TheModel().AfterStepDetectors(); }

}  // extern "C"
