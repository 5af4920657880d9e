#include <array>

#include "host/FailureReport.h"
#include "host/HostApi.h"
#include "host/IntrinsicTable.h"
#include "host/PluginApi.h"

namespace rt::intrinsics {

std::span<const IntrinsicEntry> hostFunctions() {
  static const std::array entries{
      RT_INTRINSIC(RuntimeReportFailure),
      RT_INTRINSIC(RuntimePreInit),
      RT_INTRINSIC(ResolveExecutablePath),
      RT_INTRINSIC(TerminationSignalHandler),
      RT_INTRINSIC(LoadModuleImage),
      RT_INTRINSIC(RuntimeInit),
      RT_INTRINSIC(RuntimeInitExternalClasses),
      RT_INTRINSIC(RuntimeRegisterConsoleAppObject),
      RT_INTRINSIC(RuntimeRun),
      RT_INTRINSIC(RuntimeExit),
      RT_INTRINSIC(ZK_ApplicationQuit),
      RT_INTRINSIC(ApplicationQuit),
      RT_INTRINSIC(ApplicationNewDocument),
      RT_INTRINSIC(getAppObject),
      RT_INTRINSIC(DefaultUnhandledExceptionHandler),
      RT_INTRINSIC(SystemGetCommandLine),
      RT_INTRINSIC(TOLVGetCommandLineForUnix),
      RT_INTRINSIC(TOLVInitStackChecker),
      RT_INTRINSIC(RuntimeStackCheck),
      RT_INTRINSIC(TOLVGetStackLimit),
      RT_INTRINSIC(TOLVGetStackTop),
      RT_INTRINSIC(RuntimeAllocatePluginEntrypointsTable),
      RT_INTRINSIC(RuntimeLookupPluginEntrypoint),
      RT_INTRINSIC(RegisterPluginVersion),
      RT_INTRINSIC(RegisterPluginExports),
      RT_INTRINSIC(PluginRegisterClass),
      RT_INTRINSIC(PluginRegisterControl),
      RT_INTRINSIC(PluginRegisterClassExtension),
      RT_INTRINSIC(PluginRegisterModule),
      RT_INTRINSIC(PluginRegisterMethod),
      RT_INTRINSIC(PluginRegisterInterface),
      RT_INTRINSIC(PluginNewInstance),
      RT_INTRINSIC(PluginNewOfSameClass),
      RT_INTRINSIC(TOLVnoImplementation),
      RT_INTRINSIC(PluginRegisterBackgroundTask),
      RT_INTRINSIC(PluginUnregisterBackgroundTask),
      RT_INTRINSIC(GetEventInstance),
      RT_INTRINSIC(TOLVGetFontEncoding),
      RT_INTRINSIC(TOLVLoadGlobalMethod),
      RT_INTRINSIC(TOLVLoadObjectMethod),
      RT_INTRINSIC(TOLVGetPropValueInt),
      RT_INTRINSIC(TOLVGetPropValueInt64),
      RT_INTRINSIC(TOLVGetPropValueBoolean),
      RT_INTRINSIC(TOLVGetPropValueDouble),
      RT_INTRINSIC(TOLVGetPropValueSingle),
      RT_INTRINSIC(TOLVGetPropValueString),
      RT_INTRINSIC(TOLVGetPropValueObject),
      RT_INTRINSIC(TOLVGetPropValueColor),
      RT_INTRINSIC(TOLVSetPropValueInt),
      RT_INTRINSIC(TOLVSetPropValueInt64),
      RT_INTRINSIC(TOLVSetPropValueBoolean),
      RT_INTRINSIC(TOLVSetPropValueDouble),
      RT_INTRINSIC(TOLVSetPropValueSingle),
      RT_INTRINSIC(TOLVSetPropValueString),
      RT_INTRINSIC(TOLVSetPropValueObject),
      RT_INTRINSIC(TOLVSetPropValueColor),
      RT_INTRINSIC(TOLVCountClassMethods),
      RT_INTRINSIC(TOLVGetClassMethod),
      RT_INTRINSIC(TOLVCountClassProperties),
      RT_INTRINSIC(TOLVGetClassProperty),
      RT_INTRINSIC(TOLVYieldToZK),
      RT_INTRINSIC(TOLVGetRuntimeVersion),
  };
  return entries;
}

}  // namespace rt::intrinsics
