// The built-in application classes: ConsoleApplication, its daemon variant
// ServiceApplication, and the _Pollable interface.
#pragma once

#include <cstdint>

#include "objects/ArrayBlock.h"
#include "objects/ClassDefinition.h"
#include "objects/ObjectModel.h"

extern "C" {

typedef struct ConsoleApplicationObject {
  RTObject header;
  int32_t exitCode;
} ConsoleApplicationObject;

// Sets the exit code of a new application object to 0.
void ConsoleApplicationInitializer(RTObject* app);

}

namespace rt::console {

// Handler signatures of the application events; compiled code (or a built-in
// module's C++ functions) installs them in the event table.
using RunHandler = std::int32_t (*)(RTObject* app, RTArray* args);
using UnhandledExceptionHandler = void (*)(RTObject* app, RTObject* error);
using StopHandler = void (*)(RTObject* app, std::uint8_t shuttingDown);
using DontDaemonizeHandler = std::uint8_t (*)(RTObject* app);
using DocumentHandler = void (*)(RTObject* app, RTObject* item);
using NewDocumentHandler = void (*)(RTObject* app);
// The _Poll method of a _Pollable object.
using PollMethod = void (*)(RTObject* item);

extern const ClassDefinition consoleApplication;
extern const ClassDefinition serviceApplication;
extern const ClassDefinition pollableInterface;

// ConsoleApplication: Run(args() as String) as Integer, UnhandledException(error As RuntimeException).
extern EventDefinition& runEvent;
extern EventDefinition& unhandledExceptionEvent;
// ServiceApplication: Stop(shuttingDown as Boolean), Pause, Resume, DontDaemonize as Boolean.
extern EventDefinition& stopEvent;
extern EventDefinition& pauseEvent;
extern EventDefinition& resumeEvent;
extern EventDefinition& dontDaemonizeEvent;

// Registers the console classes with the class registry: the application
// classes, the standard streams, threads and their locks, and timers.
void registerConsoleClasses();

// The class record of the _Pollable interface.
ClassRecord* pollableClass();

// Whether object is a ConsoleApplication (or subclass) and so has an exit code.
bool isApplication(RTObject* object);

}  // namespace rt::console
