#include "host/FailureReport.h"

#include <cstdio>

namespace {

const char* describe(int number) {
  switch (number) {
    case kFailurePluginTocLoad: return "Plugin TOC Load Failure";
    case kFailureInvalidClassDefinition: return "Invalid Class Definition";
    case kFailureUnknownClass: return "Unknown Class";
    case kFailureAssertion: return "Failed Assertion";
    case kFailureWriteToHandle: return "Unable to Write to Handle";
    case kFailureSystemLibraryVersion: return "Missing System Library Version";
    case kFailureDebuggerConnection: return "Cannot Connect to Debugger";
    case kFailureUnhandledException: return "Unhandled Exception";
    default: return "Unknown Failure";
  }
}

}  // namespace

extern "C" void RuntimeReportFailure(uint32_t, int16_t number, const char* file, int32_t line,
                                     const char* condition, const char* detail) {
  std::printf(
      "Runtime Error %d:%s\n\nPlease report what caused this error\nalong with the information "
      "below.\n\n%s: %d\nFailure Condition: %s\n%s\n\n",
      number, describe(number), file ? file : "", line, condition ? condition : "",
      detail ? detail : "");
  (void)std::fflush(stdout);
}
