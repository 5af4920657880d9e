// A Vantor executable whose application runs cooperative threads into the
// states that end a process, for the thread tests.
//   thread_probe all-waiting   two threads wait on a semaphore nobody releases
//   thread_probe quit          Quit while one thread sleeps and one waits
#include <cstdio>
#include <cstring>
#include <string>

#include "console/Console.h"
#include "console/ConsoleApplication.h"
#include "console/ThreadApi.h"
#include "console/ThreadObjects.h"
#include "host/BuiltinModule.h"
#include "host/HostApi.h"
#include "host/HostMain.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionHandle.h"
#include "text/StringHandle.h"

namespace {

using namespace rt;

std::string mode;
RTObject* gate = nullptr;

void print(const std::string& line) { console::printLine(String(line)); }

// Both threads block until they are killed and say how they ended.
void threadBody(RTObject* thread) {
  const std::string name = ThreadGetPriority(thread) == 1 ? "sleeper" : "waiter";
  try {
    if (name == "sleeper") ThreadSleep(thread, 3600 * 1000, 0);
    else Semaphore_Signal(gate);
    throwIfPending();
    print(name + " went on");
  } catch (const Exception& e) {
    print(name + " ended by " + e.className());
    throw;
  }
}

ClassRecord* probeThreadClass() {
  ClassRecord* thread = objects::classFor(console::threadClass);
  ClassRecord* cls = RuntimeNewClass(thread, thread->methodCount, 0, thread->eventCount, 0,
                                     thread->propertyCount);
  cls->name = String("ProbeThread").leak();
  cls->instanceSize = thread->instanceSize;
  cls->events[console::threadRunEvent.number].handler = reinterpret_cast<void*>(&threadBody);
  return cls;
}

Object startThread(std::int32_t priority) {
  Object thread = newObject(probeThreadClass());
  ThreadSetPriority(thread.get(), priority);
  ThreadSetStackSize(thread.get(), 1 << 20);
  threadRun(thread.get());
  throwIfPending();
  return thread;
}

std::int32_t run(RTObject*, RTArray*) {
  Object semaphore = newObject(objects::classFor(console::semaphoreClass));
  gate = semaphore.get();
  Semaphore_TrySignal(gate);
  Object waiter = startThread(2);
  if (mode == "all-waiting") {
    print("both wait");
    Semaphore_Signal(gate);
    print("the main thread went on");
  } else if (mode == "quit") {
    Object sleeper = startThread(1);
    print("quitting");
    ZK_ApplicationQuit(3);
    throwIfPending();
    print("Quit returned");
  }
  return 0;
}

ClassRecord* applicationClass = nullptr;

void registerClasses() {
  ClassRecord* base = objects::classFor(console::consoleApplication);
  applicationClass =
      RuntimeNewClass(base, base->methodCount, 0, base->eventCount, 0, base->propertyCount);
  applicationClass->name = String("App").leak();
  applicationClass->instanceSize = base->instanceSize;
  applicationClass->events[console::runEvent.number].handler = reinterpret_cast<void*>(&run);
}

void enterModule() {
  const host::BuiltinModule module{&registerClasses, [] { return applicationClass; }, {}, nullptr};
  std::printf("exit=%d\n", host::enterBuiltinModule(module));
}

}  // namespace

int main(int argc, char** argv) {
  mode = argc > 1 ? argv[1] : "";
  return host::runMain(argc, argv, &enterModule);
}
