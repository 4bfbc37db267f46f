#include "extmodel/DovelCalls.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>
#include <utility>
#include <vector>

#include "config/DovelLink.h"
#include "config/ProgramError.h"
#include "config/VDCTypes.h"

namespace Dovel {

namespace {

const UdovCalls* library = nullptr;

LogSink& Log() {
  static LogSink sink;
  return sink;
}

void Fail(const std::string& text) {
  ReportModelFailure(kUdovFatalSeverity, text, "Program Error");
}

// The index count the library receives: the number of leading indices that are not negative.
int IndexCount(int index1, int index2, int index3 = -1, bool three = false) {
  if (index1 < 0) return 0;
  if (index2 < 0) return 1;
  if (!three || index3 < 0) return 2;
  return 3;
}

// A library's parameters keep their types: the views ask for thousands each step.
std::map<std::pair<int, int>, int>& KnownTypes() {
  static std::map<std::pair<int, int>, int> types;
  return types;
}

// The parameter's type without any report; -1 when the library has no such parameter.
int QuietType(int cls, int id, float* minimum = nullptr, float* maximum = nullptr,
              float* step = nullptr, std::string* name = nullptr,
              std::string* description = nullptr, std::string* format = nullptr) {
  if (!library) return -1;
  std::map<std::pair<int, int>, int>& types = KnownTypes();
  const bool typeOnly = !minimum && !maximum && !step && !name && !description && !format;
  if (typeOnly) {
    auto known = types.find({cls, id});
    if (known != types.end()) return known->second;
  }
  std::vector<char> buffers(3 * kUdovInfoBufferSize, '\0');
  UdovParamInfo info{};
  info.Name = buffers.data();
  info.NameCapacity = kUdovInfoBufferSize;
  info.Description = buffers.data() + kUdovInfoBufferSize;
  info.DescriptionCapacity = kUdovInfoBufferSize;
  info.Format = buffers.data() + 2 * kUdovInfoBufferSize;
  info.FormatCapacity = kUdovInfoBufferSize;
  if (library->GetParamInfo(cls, id, &info) != 0) return types[{cls, id}] = -1;
  types[{cls, id}] = info.Type;
  // A library that fills a buffer to the brim leaves no terminator: put one in.
  buffers[kUdovInfoBufferSize - 1] = buffers[2 * kUdovInfoBufferSize - 1] =
      buffers[3 * kUdovInfoBufferSize - 1] = '\0';
  if (minimum) *minimum = info.Minimum;
  if (maximum) *maximum = info.Maximum;
  if (step) *step = info.Step;
  if (name) *name = info.Name;
  if (description) *description = info.Description;
  if (format) *format = info.Format;
  return info.Type;
}

std::string ValueText(int type, const void* value, bool quoteText) {
  switch (type) {
    case UDOV_REAL:
      return Format("%f", static_cast<double>(*static_cast<const float*>(value)));
    case UDOV_INTEGER:
      return Format("%d", *static_cast<const int32_t*>(value));
    case UDOV_UNSIGNED:
      return Format("%u", *static_cast<const uint32_t*>(value));
    default:
      return quoteText ? Format("\"%s\"", static_cast<const char*>(value))
                       : std::string(static_cast<const char*>(value));
  }
}

// Logs a parameter call: its start up to "*Value=", the value, and the model's result code.
void LogValueCall(const std::string& start, int type, const void* value, int code) {
  LogModelCall("%s", start.c_str());
  LogModelCall("%s", ValueText(type, value, false).c_str());
  if (code != 0)
    LogModelCall("): error code %d\n", code);
  else
    LogModelCall(")\n");
}

// Checks that (cls, id) exists with `type`; reports and returns false otherwise.
bool CheckType(int type, int cls, int id, const char* missing) {
  const int actual = QuietType(cls, id);
  if (actual < 0) {
    Fail(missing);
    return false;
  }
  if (actual != type) {
    Fail(Format("Parameter (Class=%d, ParamID=%d) is of type %d, not %d", cls, id, actual, type));
    return false;
  }
  return true;
}

}  // namespace

void Attach(const UdovCalls* calls) {
  library = calls;
  KnownTypes().clear();
}
bool Attached() { return library != nullptr; }
void SetLogSink(LogSink sink) { Log() = std::move(sink); }

void LogModelCall(const char* format, ...) {
  if (!Log()) return;
  char buffer[10000];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  std::string text = buffer;
  while (!text.empty() && std::strchr(" \t\r\n", text.back())) text.pop_back();
  Log()(text);
}

int Get_param_value(int type, int cls, int id, int index1, int index2, void* value) {
  if (!CheckType(type, cls, id, "Nonexistent parameter")) return -999;
  const int32_t indices[3] = {index1, index2, -1};
  const int code = library->GetParamValue(cls, id, IndexCount(index1, index2), indices, value);
  LogValueCall(Format("Get_param_value (Type=%d, Class=%d, ParamID=%d, Index1=%d, Index2=%d, "
                      "*Value=",
                      type, cls, id, index1, index2),
               type, value, code);
  if (code != 0)
    Fail(Format("Get_param_value (Class=%d, ParamID=%d, [%d,%d], %p) failed, errcode = %d", cls, id,
                index1, index2, value, code));
  return code;
}

int Set_param_value(int type, int cls, int id, int index1, int index2, void* value) {
  if (!CheckType(type, cls, id, "Nonexistend parameter")) return -999;
  const int32_t indices[3] = {index1, index2, -1};
  const int code = library->SetParamValue(cls, id, IndexCount(index1, index2), indices, value);
  const std::string start =
      Format("Set_param_value (Type=%d, Class=%d, ParamID=%d, Index1=%d, Index2=%d, *Value=", type,
             cls, id, index1, index2);
  LogValueCall(start, type, value, code);
  if (code != 0)
    Fail(start + ValueText(type, value, true) + Format(") failed.\r\nError code %d", code));
  return code;
}

float Get_param_realvalue(int cls, int id, int index1, int index2, int index3) {
  const int type = QuietType(cls, id);
  if (type < 0) {
    Fail("Nonexistent parameter");
    return -999;
  }
  if (type == UDOV_TEXT) {
    Fail("Get_param_realvalue failed: can't convert to real");
    return -1;
  }
  const int32_t indices[3] = {index1, index2, index3};
  const int count = IndexCount(index1, index2, index3, true);
  float result = 0;
  int code = 0;
  if (type == UDOV_INTEGER) {
    int32_t value = 0;
    code = library->GetParamValue(cls, id, count, indices, &value);
    result = static_cast<float>(value);
  } else if (type == UDOV_UNSIGNED) {
    uint32_t value = 0;
    code = library->GetParamValue(cls, id, count, indices, &value);
    result = static_cast<float>(value);
  } else {
    code = library->GetParamValue(cls, id, count, indices, &result);
  }
  LogModelCall(
      "Get_param_realvalue (Class=%d, ParamID=%d, Index1=%d, Index2=%d, Index3=%d, *Value=%f", cls,
      id, index1, index2, index3, static_cast<double>(result));
  if (code != 0)
    LogModelCall("): error code %d\n", code);
  else
    LogModelCall(")\n");
  if (code != 0) Fail("Get_param_realvalue failed");
  return result;
}

int Get_param_info(int cls, int id, float* minimum, float* maximum, float* step, char* name,
                   int nameCapacity, char* description, int descriptionCapacity, char* format,
                   int formatCapacity) {
  std::string nameText, descriptionText, formatText;
  const int type =
      QuietType(cls, id, minimum, maximum, step, &nameText, &descriptionText, &formatText);
  if (type < 0) {
    Fail("Nonexistent parameter");
    return -1;
  }
  auto copy = [](char* to, int capacity, const std::string& text) {
    if (!to || capacity < 1) return;
    const size_t n = std::min(text.size(), static_cast<size_t>(capacity - 1));
    std::memcpy(to, text.data(), n);
    to[n] = '\0';
  };
  copy(name, nameCapacity, nameText);
  copy(description, descriptionCapacity, descriptionText);
  copy(format, formatCapacity, formatText);
  return type;
}

bool Read_config(const std::string& fileName) {
  LogModelCall("Read_config (\"%s\")\n", fileName.c_str());
  return library && library->ReadConfig(fileName.c_str()) == 0;
}

int Write_config(const std::string& fileName) {
  LogModelCall("Write_config (\"%s\")\n", fileName.c_str());
  return library ? library->WriteConfig(fileName.c_str()) : -1;
}

void Set_errorhandler(ModelMessageSink sink) {
  SetModelMessageSink(std::move(sink));
  if (library) library->SetErrorHandler(UdovMessage);
  LogModelCall("Set_errorhandler (0x%p)\n", reinterpret_cast<void*>(&UdovMessage));
}

int Simulate_step() {
  if (!library) return 0;
  int32_t one = 1;
  const int result = library->SimulateStep(&one);
  if (result == 1 || result == 2) library->AfterStep(0);
  if (result == 2) library->AfterStepDetectors(0);
  return result;
}

int Next_vehicle(int previous) { return library ? library->NextVehicle(previous) : 0; }
int Prepare_simulation() { return library ? library->PrepareSimulation() : -1; }
void Reset_simulation() {
  if (library) library->ResetSimulation();
}
int Open_test_file(const std::string& path) {
  return library ? library->OpenTestFile(path.c_str()) : -1;
}

namespace {

// The configuration's view of the model: values sent with the type the model gives them.
class WrapperLink : public DovelModelLink {
 public:
  int ParamType(int cls, int id) override { return QuietType(cls, id); }

  bool SendValue(int cls, int id, int index1, int index2, double value) override {
    const int type = QuietType(cls, id);
    switch (type) {
      case UDOV_REAL: {
        float v = static_cast<float>(value);
        return Set_param_value(type, cls, id, index1, index2, &v) == 0;
      }
      case UDOV_INTEGER: {
        int32_t v = static_cast<int32_t>(value);
        return Set_param_value(type, cls, id, index1, index2, &v) == 0;
      }
      case UDOV_UNSIGNED: {
        uint32_t v = value <= 0 ? 0u : static_cast<uint32_t>(value);
        return Set_param_value(type, cls, id, index1, index2, &v) == 0;
      }
    }
    Fail(type < 0 ? "Nonexistend parameter"
                  : Format("Parameter (Class=%d, ParamID=%d) is of type %d, not a number", cls, id,
                           type));
    return false;
  }

  bool SendText(int cls, int id, const std::string& text) override {
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    return Set_param_value(UDOV_TEXT, cls, id, -1, -1, buffer.data()) == 0;
  }

  float RealValue(int cls, int id, int index1, int index2, int index3) override {
    return Get_param_realvalue(cls, id, index1, index2, index3);
  }

  std::string TextValue(int cls, int id) override {
    std::vector<char> buffer(kUdovTextValueSize, '\0');
    if (Get_param_value(UDOV_TEXT, cls, id, -1, -1, buffer.data()) != 0) return "";
    buffer.back() = '\0';
    return buffer.data();
  }

  bool Range(int cls, int id, float& minimum, float& maximum) override {
    return QuietType(cls, id, &minimum, &maximum) >= 0;
  }

  bool ReadConfig(const std::string& fileName) override {
    // The model's reason for refusing the file goes with the program's message.
    LastDovelReadMessage().clear();
    CaptureModelMessages(&LastDovelReadMessage());
    const bool read = Read_config(fileName);
    CaptureModelMessages(nullptr);
    return read;
  }

  int WriteConfig(const std::string& fileName) override { return Write_config(fileName); }
  void SetQuiet(bool quiet) override { SetSuppressModelMessages(quiet); }
  void Log(const std::string& line) override { LogModelCall("%s", line.c_str()); }
};

}  // namespace

DovelModelLink& ConfigLink() {
  static WrapperLink link;
  return link;
}

void Connect(const UdovCalls* calls) {
  Attach(calls);
  SetDovelModelLink(calls ? &ConfigLink() : nullptr);
  if (!calls) {
    SetModelParamInfoSource(nullptr);
    return;
  }
  SetModelParamInfoSource([](int cls, int id, ModelParamInfo& info) {
    info.type = QuietType(cls, id, &info.minimum, &info.maximum, &info.step, &info.name,
                          &info.description, &info.format);
    return info.type >= 0;
  });
}

}  // namespace Dovel
