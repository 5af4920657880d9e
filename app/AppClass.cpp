#include "AppClass.h"

#include <cstdint>

#include "Operations.h"
#include "console/ConsoleApplication.h"
#include "objects/ArrayBlock.h"
#include "objects/ArrayHandle.h"
#include "objects/ClassRegistry.h"
#include "text/StringHandle.h"

namespace vantor::app {
namespace {

constexpr std::uint32_t kMethodCount = 21;
constexpr std::uint32_t kInterfaceCount = 0;
constexpr std::uint32_t kEventCount = 2;
constexpr std::uint32_t kSharedCount = 3;
constexpr std::uint32_t kPropertyCount = 2;
// The last slot the framework class fills; App's own methods follow it.
constexpr std::uint32_t kDependencyListSlot = 5;

ClassRecord* record = nullptr;

// The method-table entries, receiving the App object first as compiled code
// passes it.
std::int32_t runEntry(RTObject*, RTArray* args) { return run(rt::Array(args)); }
void showHelpEntry(RTObject*) { showHelp(); }
void createSysEntry(RTObject*) { createSys(); }
void killSysEntry(RTObject*, std::int32_t progress) { killSys(progress); }
void restoreSysEntry(RTObject*) { restoreSys(); }
void encryptEntry(RTObject*) { encrypt(); }
void decryptEntry(RTObject*) { decrypt(); }
void transferSysEntry(RTObject*) { transferSys(); }
void getCmdEntry(RTObject*) { getCmd(); }
void getParametersEntry(RTObject*) { getParameters(); }
void runScriptEntry(RTObject*) { runScript(); }
void transKillEntry(RTObject*) { transKill(); }
void systemDataEntry(RTObject*, std::int32_t display) { systemData(display); }
std::int32_t verifyScriptEntry(RTObject*) { return verifyScript(); }
void getSystemDataEntry(RTObject*, RTString folder) { getSystemData(rt::String(folder)); }
// Names the classes the module uses; has nothing to do when called.
void dependencyListEntry(RTObject*) {}

template <class Function>
MethodEntry method(Function* function, const char* signature) {
  return MethodEntry{reinterpret_cast<void*>(function), rt::String(signature).leak()};
}

}  // namespace

ClassRecord* registerAppClass() {
  ClassRecord* base = rt::objects::classFor(rt::console::consoleApplication);
  record = RuntimeNewClass(base, kMethodCount, kInterfaceCount, kEventCount, kSharedCount,
                           kPropertyCount);
  record->name = rt::String("App").leak();
  record->instanceSize = base->instanceSize;
  const MethodEntry methods[] = {
      method(&dependencyListEntry, "__DependencyList%%o<ConsoleApplication>"),
      method(&runEntry, "#Run%i4%o<App>A1s"),
      method(&showHelpEntry, "ShowHelp%%o<App>"),
      method(&createSysEntry, "CreateSys%%o<App>"),
      method(&killSysEntry, "KillSys%%o<App>i4"),
      method(&restoreSysEntry, "RestoreSys%%o<App>"),
      method(&encryptEntry, "Encrypt%%o<App>"),
      method(&decryptEntry, "Decrypt%%o<App>"),
      method(&transferSysEntry, "TransferSys%%o<App>"),
      method(&getCmdEntry, "GetCmd%%o<App>"),
      method(&getParametersEntry, "GetParameters%%o<App>"),
      method(&runScriptEntry, "RunScript%%o<App>"),
      method(&transKillEntry, "TransKill%%o<App>"),
      method(&systemDataEntry, "SystemData%%o<App>i4"),
      method(&verifyScriptEntry, "VerifyScript%i4%o<App>"),
      method(&getSystemDataEntry, "GetSystemData%%o<App>s"),
  };
  std::uint32_t slot = kDependencyListSlot;
  for (const MethodEntry& entry : methods) record->methods[slot++] = entry;
  record->events[rt::console::runEvent.number].handler = reinterpret_cast<void*>(&runEntry);
  return record;
}

ClassRecord* appClass() { return record; }

}  // namespace vantor::app
