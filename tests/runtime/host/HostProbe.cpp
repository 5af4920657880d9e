// A Vantor executable with a built-in module of its own, started by the host
// tests. VANTOR_PROBE chooses what its application does.
#include <unistd.h>

#include <cinttypes>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "console/Console.h"
#include "console/ConsoleApplication.h"
#include "files/FolderItemApi.h"
#include "host/BuiltinModule.h"
#include "host/HostApi.h"
#include "host/HostMain.h"
#include "host/PluginApi.h"
#include "host/ResourceTable.h"
#include "host/ShutdownList.h"
#include "objects/ArrayApi.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionHandle.h"
#include "objects/FieldAccessors.h"
#include "text/StringHandle.h"

namespace {

using namespace rt;

std::string_view mode() {
  const char* probe = std::getenv("VANTOR_PROBE");
  return probe != nullptr ? probe : "";
}

void print(const std::string& line) { console::printLine(String(line)); }

void printSetOrNull(const std::string& name, const void* pointer) {
  print(name + (pointer != nullptr ? "=set" : "=null"));
}

constexpr const char* kPluginEntries[] = {"ProbeGadget.Twice(x as Integer) as Integer",
                                          "ProbeGadget.LoadedFrom() as String", "_"};
constexpr const char* kCallbackEntries[] = {"CallbackControl.Press() as Integer",
                                            "CallbackWidget.Describe() as String",
                                            "CallbackWidget.Summary.Get",
                                            "CallbackTools.Triple(x as Integer) as Integer",
                                            "CallbackTools.Answer.Get",
                                            "Quadruple(x as Integer) as Integer",
                                            "CallbackTools.Exercise()"};
void** pluginEntries = nullptr;

template <class Function>
Function entry(int index) {
  return reinterpret_cast<Function>(pluginEntries[index]);
}

void showPlugin() {
  using Twice = std::intptr_t (*)(RTObject*, std::intptr_t);
  using LoadedFrom = RTString (*)(RTObject*);
  print("twice=" + std::to_string(entry<Twice>(0)(nullptr, 21)));
  print("loaded from=" + String::adopt(entry<LoadedFrom>(1)(nullptr)).str());
  printSetOrNull("underscore", pluginEntries[2]);
  printSetOrNull("missing", RuntimeLookupPluginEntrypoint(String("ProbeGadget.Missing").get()));

  ClassRecord* gadget = RuntimeLookupClass(String("ProbeGadget").get());
  Object object = newObject(gadget);
  const PropertyEntry& counter = gadget->properties[0];
  using IntGetter = std::int32_t (*)(RTObject*, std::intptr_t);
  print("counter=" + std::to_string(reinterpret_cast<IntGetter>(counter.getter)(
                         object.get(), counter.parameter)));
}

// Calls each entry of kCallbackEntries, then lets the plugin drive the callbacks.
void showCallbacks() {
  using ObjectMethod = std::intptr_t (*)(RTObject*);
  using StringMethod = RTString (*)(RTObject*);
  using IntegerFunction = std::intptr_t (*)(std::intptr_t);
  print("control press=" + std::to_string(entry<ObjectMethod>(0)(nullptr)));
  printSetOrNull("control class", RuntimeLookupClass(String("CallbackControl").get()));
  Object widget = newObject(RuntimeLookupClass(String("CallbackWidget").get()));
  print("describe=" + String::adopt(entry<StringMethod>(1)(widget.get())).str());
  print("summary=" + String::adopt(entry<StringMethod>(2)(widget.get())).str());
  print("triple=" + std::to_string(entry<IntegerFunction>(3)(5)));
  print("answer=" + std::to_string(entry<IntegerFunction>(4)(0)));
  print("quadruple=" + std::to_string(entry<IntegerFunction>(5)(5)));
  const String unimplemented("CallbackWidget.Missing()");
  printSetOrNull("unimplemented", RuntimeLookupPluginEntrypoint(unimplemented.get()));
  entry<void (*)()>(6)();
}

// The application's properties, read by name as plugins read them.
void showApplicationProperties() {
  Object app = Object::adopt(getAppObject());
  RTObject* item = nullptr;
  const bool found = TOLVGetPropValueObject(app.get(), "ExecutableFile", &item);
  Object file = Object::adopt(item);
  if (!found || !file) {
    print("no executable file");
    return;
  }
  print("executable file=" + String::adopt(fileAbsolutePathGetter(file.get())).str() +
        " exists=" + std::to_string(fileExistsGetter(file.get())));
  RTObject* thread = nullptr;
  const bool threadFound = TOLVGetPropValueObject(app.get(), "CurrentThread", &thread);
  print(std::string("current thread=") + (threadFound ? (thread ? "set" : "nil") : "missing"));
  RuntimeUnlockObject(thread);
}

void showResources() {
  for (const host::Resource& resource : host::resourceTable().entries()) {
    std::printf("resource %08" PRIx32 " %u %u %" PRIu64 " ", resource.type, resource.id,
                resource.length, resource.fileOffset);
    for (std::uint32_t i = 0; i < resource.length && i < 32; ++i)
      std::printf("%02x", resource.bytes[i]);
    std::printf("\n");
  }
}

// Raises a termination signal while the shutdown list is being destroyed.
struct SignallingShutdownObject : host::ShutdownObject {
  ~SignallingShutdownObject() override {
    std::printf("shutdown object destroyed\n");
    std::fflush(stdout);
    std::raise(SIGHUP);
  }
};

// Shows when the shutdown list is destroyed. Written past stdio: a signal
// handler may destroy it while the interrupted code is inside stdio.
struct PrintingShutdownObject : host::ShutdownObject {
  ~PrintingShutdownObject() override {
    constexpr std::string_view kLine = "shutdown object destroyed\n";
    (void)!write(STDOUT_FILENO, kLine.data(), kLine.size());
  }
};

std::int32_t run(RTObject*, RTArray* args) {
  if (mode() == "quit3") {
    print("before quit");
    ZK_ApplicationQuit(3);
    throwIfPending();
    print("after quit");
  } else if (mode() == "raise") {
    exceptions::raise(exceptions::outOfBoundsException, 42,
                      String("Index 7 is out of range").get());
    throwIfPending();
  } else if (mode() == "args") {
    print("ubound=" + std::to_string(RuntimeUBound(args)));
    using Get = RTString (*)(RTArray*, std::int32_t);
    auto get = reinterpret_cast<Get>(args->methods->slots[kArraySlotGet]);
    for (std::int32_t i = 0; i <= RuntimeUBound(args); ++i) {
      print("arg" + std::to_string(i) + "=[" + String::adopt(get(args, i)).str() + "]");
    }
    print("command line=[" + String::adopt(SystemGetCommandLine()).str() + "]");
  } else if (mode() == "wait") {
    new PrintingShutdownObject;
    print("ready");
    console::readLine();
    print("input ended");
  } else if (mode() == "signal-twice") {
    new SignallingShutdownObject;
    std::raise(SIGTERM);
    print("signal returned");
  } else if (mode() == "signal-at-end") {
    new SignallingShutdownObject;
  } else if (mode() == "rerun") {
    RuntimeRun();
    print("nested run returned");
  } else if (mode() == "plugin") {
    showPlugin();
  } else if (mode() == "callbacks") {
    showCallbacks();
  } else if (mode() == "relative") {
    Object item = Object::adopt(RuntimeGetFolderItem(String("beside.txt").get(), 0));
    print("relative=" + String::adopt(fileAbsolutePathGetter(item.get())).str() +
          " exists=" + std::to_string(fileExistsGetter(item.get())));
  } else if (mode() == "application") {
    showApplicationProperties();
  } else if (mode() == "resources") {
    showResources();
  }
  return 5;
}

void unhandledException(RTObject*, RTObject* error) {
  print("UnhandledException event: " + std::string(text::bytes(error->cls->name)));
}

void newDocument(RTObject*) { print("NewDocument event"); }

ClassRecord* applicationClass = nullptr;

void registerClasses() {
  ClassRecord* base = objects::classFor(console::consoleApplication);
  applicationClass =
      RuntimeNewClass(base, base->methodCount + 1, 0, base->eventCount, 0, base->propertyCount);
  applicationClass->name = String("App").leak();
  applicationClass->instanceSize = base->instanceSize;
  applicationClass->events[console::runEvent.number].handler = reinterpret_cast<void*>(&run);
  applicationClass->events[console::unhandledExceptionEvent.number].handler =
      reinterpret_cast<void*>(&unhandledException);
  applicationClass->methods[base->methodCount] = {reinterpret_cast<void*>(&newDocument),
                                                  String("#NewDocument%%o<App>").leak()};
}

void enterModule() {
  std::span<const char* const> names;
  if (mode() == "plugin") names = kPluginEntries;
  if (mode() == "callbacks") names = kCallbackEntries;
  const host::BuiltinModule module{&registerClasses, [] { return applicationClass; }, names,
                                   &pluginEntries};
  const std::int32_t exitCode = host::enterBuiltinModule(module);
  std::printf("exit=%d\n", exitCode);
}

}  // namespace

int main(int argc, char** argv) { return rt::host::runMain(argc, argv, &enterModule); }
