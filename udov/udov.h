/* libudov: an external vehicle model library for the DOVEL mode of the desktop program.
   Plain C calling convention; numbers are 32 bits, texts zero-terminated 8-bit (Windows-1252).
   This header is all a program needs to load and drive the library. */
#ifndef UDOV_H
#define UDOV_H

#include <stdint.h>

#if defined(__GNUC__)
#define UDOV_API __attribute__((visibility("default")))
#else
#define UDOV_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Parameter types. */
#define UDOV_TYPE_REAL 1     /* float */
#define UDOV_TYPE_INTEGER 2  /* int32_t */
#define UDOV_TYPE_UNSIGNED 3 /* uint32_t */
#define UDOV_TYPE_TEXT 4     /* zero-terminated text */

/* Result codes of the parameter calls (0 = done). */
#define UDOV_OK 0
#define UDOV_NO_PARAMETER 1 /* no parameter with this class and id */
#define UDOV_BAD_INDEX 2    /* an index is missing or outside its range */
#define UDOV_BAD_VALUE 3    /* the value lies outside the parameter's range */
#define UDOV_READ_ONLY 4    /* a run-time value: it can be read, not set */
#define UDOV_NO_VEHICLE 5   /* no vehicle with this number */

/* Description of one parameter; the caller supplies the three text buffers. Byte offsets of
   the numbers: Type 0, Minimum 12, Maximum 16, Unused 20, Step 24. */
typedef struct UdovParamInfo {
  int16_t Type;
  char Reserved[10];
  float Minimum;
  float Maximum;
  int32_t Unused;
  float Step;
  char* Name;
  int16_t NameCapacity;
  char* Description;
  int16_t DescriptionCapacity;
  char* Format; /* printf format for one number */
  int16_t FormatCapacity;
} UdovParamInfo;

/* The program's message handler: severity (0 status, 1 status line, 2 log only, 3 warning,
   999 fatal), text, simulated time [s] or negative when none. */
typedef void (*UdovErrorHandler)(int32_t severity, const char* text, float time);

UDOV_API int32_t Prepare_simulation(void);       /* 0 = a run may start */
UDOV_API int32_t Next_vehicle(int32_t previous); /* < 1 = none left */
UDOV_API int32_t Get_param_info(int32_t paramClass, int32_t paramId, UdovParamInfo* info);
UDOV_API int32_t Get_param_value(int32_t paramClass, int32_t paramId, int32_t indexCount,
                                 const int32_t* indices, void* value);
UDOV_API int32_t Read_config(const char* fileName); /* 0 = read */
UDOV_API void Reset_simulation(void);               /* time 0, no vehicles */
UDOV_API void Set_errorhandler(UdovErrorHandler handler);
UDOV_API int32_t Set_param_value(int32_t paramClass, int32_t paramId, int32_t indexCount,
                                 const int32_t* indices, void* value);
UDOV_API int32_t Open_test_file(const char* path);   /* remembered, never written */
UDOV_API int32_t Simulate_step(int32_t* steps);      /* 1, or 2 at a whole minute */
UDOV_API int32_t Write_config(const char* fileName); /* 0 = written */
UDOV_API void After_step(int32_t zero);
UDOV_API void After_step_detectors(int32_t zero);

#ifdef __cplusplus
}
#endif

#endif
