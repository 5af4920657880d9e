#include "console/ConsoleApplication.h"

#include <array>

#include "console/ConsoleApi.h"
#include "console/Pollables.h"
#include "console/Scheduler.h"
#include "console/StandardStreams.h"
#include "console/ThreadObjects.h"
#include "console/Timer.h"
#include "files/FolderItemApi.h"
#include "host/CommandLine.h"
#include "host/FailureReport.h"
#include "objects/ClassRegistry.h"
#include "text/StringHandle.h"

namespace rt::console {
namespace {

template <class Function>
void* entry(Function* function) {
  return reinterpret_cast<void*>(function);
}

const std::array kApplicationMethods{
    MethodDefinition{"DoEvents%%o<ConsoleApplication>i4", entry(&RuntimeDoEvents)},
    MethodDefinition{"Daemonize%b%o<ConsoleApplication>", entry(&DaemonizeApp)},
    MethodDefinition{"_AddPollableObject%%o<ConsoleApplication>o<_Pollable>",
                     entry(&ApplicationAddPollableObject)},
    MethodDefinition{"_RemovePollableObject%%o<ConsoleApplication>o<_Pollable>",
                     entry(&ApplicationRemovePollableObject)},
    MethodDefinition{"YieldToNextThread%%o<ConsoleApplication>", entry(&YieldToNextThread)},
    MethodDefinition{"SleepCurrentThread%%o<ConsoleApplication>i4", entry(&AppSleepCurrentThread)},
};

const std::array kApplicationProperties{
    PropertyDefinition{"ExecutableFile", entry(&AppFolderItemGetter), nullptr, 0},
    PropertyDefinition{"CurrentThread", entry(&TOLVGetCurrentThread), nullptr, 0},
};

std::array applicationEvents{
    EventDefinition{"Run", "args() as String", "Integer"},
    EventDefinition{"UnhandledException", "error As RuntimeException", ""},
};

std::array serviceEvents{
    EventDefinition{"Stop", "shuttingDown as Boolean", ""},
    EventDefinition{"Pause", "", ""},
    EventDefinition{"Resume", "", ""},
    EventDefinition{"DontDaemonize", "", "Boolean"},
};

const std::array kPollableMethods{
    MethodDefinition{"_Poll%%o<_Pollable>", nullptr},
};

}  // namespace

EventDefinition& runEvent = applicationEvents[0];
EventDefinition& unhandledExceptionEvent = applicationEvents[1];
EventDefinition& stopEvent = serviceEvents[0];
EventDefinition& pauseEvent = serviceEvents[1];
EventDefinition& resumeEvent = serviceEvents[2];
EventDefinition& dontDaemonizeEvent = serviceEvents[3];

const ClassDefinition consoleApplication{"ConsoleApplication", nullptr,
                                         sizeof(ConsoleApplicationObject),
                                         &ConsoleApplicationInitializer, nullptr,
                                         kApplicationMethods, kApplicationProperties,
                                         applicationEvents};
const ClassDefinition serviceApplication{"ServiceApplication", &consoleApplication,
                                         sizeof(ConsoleApplicationObject), nullptr, nullptr,
                                         {}, {}, serviceEvents};
const ClassDefinition pollableInterface{"_Pollable", nullptr, sizeof(RTObject), nullptr,
                                        nullptr, kPollableMethods, {}, {}, true};

void registerConsoleClasses() {
  objects::registerClassDefinition(consoleApplication);
  objects::registerClassDefinition(serviceApplication);
  objects::registerClassDefinition(pollableInterface);
  objects::registerClassDefinition(standardInputStream);
  objects::registerClassDefinition(standardOutputStream);
  registerThreadClasses();
  registerTimerClasses();
  pollableClass();
}

ClassRecord* pollableClass() { return objects::classFor(pollableInterface); }

bool isApplication(RTObject* object) {
  return RuntimeObjectIsa(object, objects::classFor(consoleApplication)) != 0;
}

}  // namespace rt::console

extern "C" {

void YieldToNextThread(void) { rt::console::scheduler().yieldToNextThread(); }

RTObject* TOLVGetCurrentThread(void) { return rt::console::scheduler().currentThread(); }

RTObject* AppFolderItemGetter(RTObject*) {
  const rt::String path(rt::host::executablePath());
  return RuntimeGetFolderItem(path.get(), 0);
}

void ConsoleApplicationInitializer(RTObject* app) {
  // Reported, not written: there is no object to hold the field.
  if (app == nullptr) {
    rt::reportAssertion("../Common/ConsoleApplication", __LINE__, "obj");
    return;
  }
  reinterpret_cast<ConsoleApplicationObject*>(app)->exitCode = 0;
}

}  // extern "C"
