#include <array>

#include "host/FailureReport.h"
#include "host/HostApi.h"
#include "host/IntrinsicTable.h"
#include "host/PluginApi.h"

namespace rt::intrinsics {

std::span<const IntrinsicEntry> hostFunctions() {
  static const std::array entries{
      RT_INTRINSIC(RuntimeReportFailure),
      RT_INTRINSIC(RuntimeInit),
      RT_INTRINSIC(RuntimeInitExternalClasses),
      RT_INTRINSIC(RuntimeRegisterConsoleAppObject),
      RT_INTRINSIC(RuntimeRun),
      RT_INTRINSIC(RuntimeExit),
      RT_INTRINSIC(ZK_ApplicationQuit),
      RT_INTRINSIC(ApplicationQuit),
      RT_INTRINSIC(ApplicationNewDocument),
      RT_INTRINSIC(getAppObject),
      RT_INTRINSIC(SystemGetCommandLine),
      RT_INTRINSIC(TOLVGetCommandLineForUnix),
      RT_INTRINSIC(TOLVInitStackChecker),
      RT_INTRINSIC(RuntimeStackCheck),
      RT_INTRINSIC(RuntimeAllocatePluginEntrypointsTable),
      RT_INTRINSIC(RuntimeLookupPluginEntrypoint),
      RT_INTRINSIC(RegisterPluginVersion),
      RT_INTRINSIC(PluginRegisterClass),
      RT_INTRINSIC(PluginRegisterBackgroundTask),
      RT_INTRINSIC(PluginUnregisterBackgroundTask),
      RT_INTRINSIC(GetEventInstance),
      RT_INTRINSIC(TOLVGetFontEncoding),
  };
  return entries;
}

}  // namespace rt::intrinsics
