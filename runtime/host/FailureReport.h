// The one reporter of internal inconsistencies. A report is printed to standard
// output and execution continues after the check.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum {
  kFailureKindCheck = 131,
  kFailureKindDebugger = 132,
};

enum {
  kFailurePluginTocLoad = 1,
  kFailureInvalidClassDefinition = 2,
  kFailureUnknownClass = 3,
  kFailureAssertion = 4,
  kFailureWriteToHandle = 5,
  kFailureSystemLibraryVersion = 6,
  kFailureDebuggerConnection = 7,
  kFailureUnhandledException = 8,
};

// Prints one failure report; detail may be null (an empty line is printed).
void RuntimeReportFailure(uint32_t kind, int16_t number, const char* file, int32_t line,
                          const char* condition, const char* detail);

#ifdef __cplusplus
}

namespace rt {

// A failed internal check (failure number 4) of the named runtime source file.
inline void reportAssertion(const char* file, int line, const char* condition,
                            const char* detail = nullptr) {
  RuntimeReportFailure(kFailureKindCheck, kFailureAssertion, file, line, condition, detail);
}

}  // namespace rt
#endif
