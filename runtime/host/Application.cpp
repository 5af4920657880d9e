#include "host/Application.h"

#include <string_view>

#include "console/CompiledCall.h"
#include "console/ConsoleApi.h"
#include "console/ConsoleApplication.h"
#include "console/EventLoop.h"
#include "console/Scheduler.h"
#include "files/FolderItemApi.h"
#include "host/CommandLine.h"
#include "host/FailureReport.h"
#include "host/HostApi.h"
#include "objects/ArrayApi.h"
#include "objects/ArrayHandle.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionClasses.h"
#include "objects/ObjectHandle.h"
#include "text/StringApi.h"
#include "text/StringHandle.h"

namespace rt::host {
namespace {

using console::callCompiled;

ConsoleApplicationObject* fields(RTObject* app) {
  return reinterpret_cast<ConsoleApplicationObject*>(app);
}

void setExitCode(std::int32_t code) {
  RTObject* app = application().app;
  if (console::isApplication(app)) fields(app)->exitCode = code;
}

std::int32_t exitCode() {
  RTObject* app = application().app;
  return console::isApplication(app) ? fields(app)->exitCode : 0;
}

bool isService(RTObject* app) {
  return RuntimeObjectIsa(app, objects::classFor(console::serviceApplication)) != 0;
}

// An event the class implements without a built-in descriptor: the method
// whose signature starts "#" + name + "%".
void* implementedEvent(RTObject* object, std::string_view name) {
  if (object == nullptr) return nullptr;
  const ClassRecord* cls = object->cls;
  for (std::uint32_t i = 0; i < cls->methodCount; ++i) {
    const std::string_view signature = text::bytes(cls->methods[i].signature);
    if (signature.size() > name.size() + 1 && signature[0] == '#' &&
        signature.substr(1, name.size()) == name && signature[name.size() + 1] == '%') {
      return cls->methods[i].code;
    }
  }
  return nullptr;
}

Object documentItem(const char* path) {
  String text = String::adopt(StringFromCString(path));
  return Object::adopt(RuntimeGetFolderItem(text.get(), 0));
}

void offerDocuments(RTObject* app) {
  const int argc = argumentCount();
  if (argc >= 2) {
    auto openDocument = reinterpret_cast<console::DocumentHandler>(implementedEvent(app, "OpenDocument"));
    if (openDocument == nullptr) return;
    for (int i = 1; i < argc; ++i) {
      Object item = documentItem(arguments()[i]);
      if (!callCompiled([&] { openDocument(app, item.get()); })) return;
    }
    return;
  }
  ApplicationNewDocument(app);
}

Array runArguments() {
  const int argc = argumentCount();
  Array args = Array::adopt(CreateArray(1, kArrayString, argc));
  using SetElement = void (*)(RTArray*, RTString, std::int32_t);
  auto set = reinterpret_cast<SetElement>(args->methods->slots[kArraySlotSet]);
  for (int i = 0; i < argc; ++i) {
    String argument = String::adopt(StringFromCString(arguments()[i]));
    set(args.get(), argument.get(), i);
  }
  return args;
}

// Raises Run. False when Run threw: its exception is pending and the program
// unwinds to the module's outer handler without the normal quit.
bool dispatchRun() {
  ApplicationState& state = application();
  RTObject* app = state.app;
  if (app == nullptr) {
    reportAssertion("../Common/ConsoleApplication", 470, "app",
                    "Trying to call the Run event before making the console application object.");
  }
  if (isService(app)) {
    auto dontDaemonize =
        reinterpret_cast<console::DontDaemonizeHandler>(objects::lookupEvent(app, console::dontDaemonizeEvent));
    std::uint8_t keepAttached = 0;
    if (!callCompiled([&] { keepAttached = dontDaemonize ? dontDaemonize(app) : 0; })) return false;
    if (!keepAttached) DaemonizeApp(app);
  }
  auto run = reinterpret_cast<console::RunHandler>(objects::lookupEvent(app, console::runEvent));
  if (run == nullptr) return true;
  Array args = runArguments();
  std::int32_t result = 0;
  if (!callCompiled([&] { result = run(app, args.get()); })) return false;
  if (!state.quitting) setExitCode(result);
  state.lastExitCode = exitCode();
  return true;
}

bool runCompleted = false;

void runThroughGate() { runCompleted = dispatchRun(); }

}  // namespace

ApplicationState& application() {
  static ApplicationState state;
  return state;
}

void releaseApplication() {
  RTObject* app = application().app;
  application().app = nullptr;
  RuntimeUnlockObject(app);
}

}  // namespace rt::host

using namespace rt::host;

extern "C" {

void RuntimeRegisterConsoleAppObject(RTObject* app, uint8_t isService) {
  ApplicationState& state = application();
  if (app != nullptr) {
    RuntimeLockUnlockObjects(app, state.app);
    state.app = app;
  } else {
    const rt::ClassDefinition& definition =
        isService ? rt::console::serviceApplication : rt::console::consoleApplication;
    RTObject* created = RuntimeNewObject(rt::objects::classFor(definition));
    RuntimeUnlockObject(state.app);
    state.app = created;
  }
  offerDocuments(state.app);
}

void RuntimeRun(void) {
  ApplicationState& state = application();
  if (state.runStarted) return;
  state.runStarted = true;
  state.insideRun = true;
  rt::console::callThroughGate(&runThroughGate);
  if (runCompleted) ApplicationQuit(state.lastExitCode, 1);
  state.insideRun = false;
}

int32_t RuntimeExit(void) {
  if (application().app == nullptr) rt::reportAssertion("../Common/RuntimeMain", __LINE__, "app");
  return exitCode();
}

void ZK_ApplicationQuit(int32_t code) { ApplicationQuit(code, 1); }

void ApplicationQuit(int32_t code, uint8_t raise) {
  ApplicationState& state = application();
  state.quitting = true;
  if (state.quitDone) return;
  state.quitDone = true;
  setExitCode(code);
  RTObject* app = state.app;
  if (isService(app)) {
    auto stop = reinterpret_cast<rt::console::StopHandler>(
        rt::objects::lookupEvent(app, rt::console::stopEvent));
    if (stop != nullptr) rt::console::callCompiled([&] { stop(app, 0); });
  }
  if (raise && !state.inUnhandledHandler) {
    rt::console::scheduler().killThreads();
    rt::exceptions::raise(rt::exceptions::endException);
  }
  state.quitRequested = true;
}

void ApplicationNewDocument(RTObject* app) {
  auto newDocument =
      reinterpret_cast<rt::console::NewDocumentHandler>(implementedEvent(app, "NewDocument"));
  if (newDocument != nullptr) rt::console::callCompiled([&] { newDocument(app); });
}

RTObject* getAppObject(void) {
  RTObject* app = application().app;
  RuntimeLockObject(app);
  return app;
}

}  // extern "C"
