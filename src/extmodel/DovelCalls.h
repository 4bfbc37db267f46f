#pragma once

#include <functional>
#include <string>

#include "extmodel/UdovLibrary.h"
#include "extmodel/UdovMessages.h"

class DovelModelLink;

// The program's own layer over the external vehicle model library: typed parameter access that
// checks the parameter's type before every read or write, the call log, and the link the
// configuration forwards its changes through. Failures are reported to the model message sink
// with severity 999 and the caption "Program Error". The wrappers keep no model state.
namespace Dovel {

/// The library the wrappers call; none detaches (every call then fails).
void Attach(const UdovCalls* calls);
bool Attached();

/// The log sink: none, or the appender of the debug output while "&DOVEL DLL calls" is ticked.
using LogSink = std::function<void(const std::string&)>;
void SetLogSink(LogSink sink);
/// Formats into at most 10000 characters, removes trailing white space and hands the text to
/// the log sink; nothing is formatted while there is none.
void LogModelCall(const char* format, ...) __attribute__((format(printf, 1, 2)));

/// Indices count from 1; -1 = not used. 0 or the library's code; -999 when the parameter does
/// not exist or has another type than `type`.
int Get_param_value(int type, int cls, int id, int index1, int index2, void* value);
int Set_param_value(int type, int cls, int id, int index1, int index2, void* value);
/// The value as a float; -999 when the parameter does not exist, -1 for a text.
float Get_param_realvalue(int cls, int id, int index1, int index2, int index3);
/// The parameter's type, or -1 when it does not exist; each output may be null. Texts are cut
/// to their capacity - 1 characters and always terminated.
int Get_param_info(int cls, int id, float* minimum, float* maximum, float* step, char* name,
                   int nameCapacity, char* description, int descriptionCapacity, char* format,
                   int formatCapacity);
/// True when the library read the file.
bool Read_config(const std::string& fileName);
/// The library's result, 0 = written.
int Write_config(const std::string& fileName);
/// Remembers the sink and registers UdovMessage with the library.
void Set_errorhandler(ModelMessageSink sink);
/// One step with its after-step calls; the library's result.
int Simulate_step();
int Next_vehicle(int previous);
int Prepare_simulation();
void Reset_simulation();
int Open_test_file(const std::string& path);

/// The configuration's link to the model through these wrappers.
DovelModelLink& ConfigLink();

/// Attaches the library and makes the configuration forward to it and take the parameters'
/// descriptions from it; none undoes all of that.
void Connect(const UdovCalls* calls);

}  // namespace Dovel
