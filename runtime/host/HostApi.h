// Entry points of process start-up and shutdown, the application object and
// the module image loader. Functions returning RTString or RTObject* return a
// new reference; arguments are borrowed.
#pragma once

#include <stdint.h>

#include "objects/ObjectModel.h"
#include "text/StringBlock.h"

#ifdef __cplusplus
extern "C" {
#endif

// First initialisation: the unhandled-exception hook and the stack budget.
void RuntimePreInit(void);
// Returns the path of the running executable (a process-wide buffer, or null
// when it cannot be found); a bare program name is looked up on PATH. When
// neither gives an existing file the kernel's record of the executable is
// taken, and argv[0] is replaced whenever the path is not argv[0] itself.
const char* ResolveExecutablePath(const char* argv0);
// Ends the process after releasing the application and the objects of the
// shutdown list: with status 0, or for SIGINT by that signal.
void TerminationSignalHandler(int signalNumber);
// Loads the module image of the executable (or the files in the current
// directory), registers its resources and options and enters it.
void LoadModuleImage(const char* executablePath);

// First call of a module's entry routine: relative folder-item names resolve
// against the folder of the executable from then on.
void RuntimeInit(void);
// Registers the built-in classes, then loads the plugins of the module.
void RuntimeInitExternalClasses(void);
// Makes app (or, for nil, a new ConsoleApplication or ServiceApplication) the
// application object; takes its own reference.
void RuntimeRegisterConsoleAppObject(RTObject* app, uint8_t isService);
// Raises the application's Run event; only the first call does anything.
void RuntimeRun(void);
// Returns the application exit code.
int32_t RuntimeExit(void);
// The Quit statement: ApplicationQuit(code, true).
void ZK_ApplicationQuit(int32_t code);
// Ends the application with the exit code; raise ends Run with EndException.
void ApplicationQuit(int32_t code, uint8_t raise);
// Raises the application's NewDocument event when its class implements it.
void ApplicationNewDocument(RTObject* app);
// Returns the application object with a new reference (nil before registration).
RTObject* getAppObject(void);
// Prints the message of an exception nobody handled to standard error once.
void DefaultUnhandledExceptionHandler(RTObject* exception);

// Returns the command line, its words joined by single spaces (new reference).
RTString SystemGetCommandLine(void);
// Returns the process's argument vector (element 0 possibly resolved); borrowed.
char** TOLVGetCommandLineForUnix(void);

// Sets the current thread's stack limit to top - size (top 0: here); on the
// main thread its scheduler record receives the same bounds.
void TOLVInitStackChecker(uint32_t size, uintptr_t top);
// Raises StackOverflowException when less than 8 KiB remain above the limit.
void RuntimeStackCheck(void);
// Returns the current thread's stack limit (0: no budget set).
uintptr_t TOLVGetStackLimit(void);
// Returns the stack top the current thread's budget is measured from.
uintptr_t TOLVGetStackTop(void);

#ifdef __cplusplus
}
#endif
