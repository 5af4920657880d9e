// Entry points of the console application framework: console input and
// output, the standard stream objects, event processing and the yield point.
// Functions returning RTString or RTObject* return a new reference; arguments
// are borrowed.
#pragma once

#include <stdint.h>

#include "objects/ObjectModel.h"
#include "text/StringBlock.h"

#ifdef __cplusplus
extern "C" {
#endif

// Writes s and a line end to standard output (nothing at all for ""); flushes.
void RuntimeConsolePrint(RTString s);
// Returns the next input line without its end, tagged ASCII; "" at end of input.
RTString RuntimeConsoleInput(void);

// Return the shared standard stream objects, each with a new reference.
RTObject* RuntimeGetStdIn(void);
RTObject* RuntimeGetStdOut(void);
RTObject* RuntimeGetStdErr(void);

// StandardInputStream members. ReadLine and Read return new references.
RTString RuntimeStdInputReadLine(RTObject* stream);
// Reads count bytes (all remaining for count < 1) after any pending byte,
// tagged ASCII, or with the encoding of a TextEncoding object given.
RTString RuntimeStdInputRead(RTObject* stream, int32_t count, RTObject* encoding);
uint8_t RuntimeStdInputEof(RTObject* stream);
uint8_t RuntimeStdInputError(RTObject* stream);
// The runtime has no socket classes: raises ServiceNotAvailableException and
// returns nil.
RTObject* RuntimeStdInputAsSocket(RTObject* stream);

// StandardOutputStream members; each works on the stream its object selects.
void RuntimeStdOutputStreamWrite(RTObject* stream, RTString s);
void RuntimeStdOutputStreamWriteLine(RTObject* stream, RTString s);
void RuntimeStdOutFlush(RTObject* stream);
uint8_t RuntimeStdOutputError(RTObject* stream);
// Whether the object's stream is a terminal, so that a progress line drawn
// on it is seen by a person and not written into a file.
uint8_t RuntimeStdOutputIsTerminal(RTObject* stream);
// The runtime has no socket classes: raises ServiceNotAvailableException and
// returns nil.
RTObject* RuntimeStdOutputAsSocket(RTObject* stream);

// Returns the line end of the platform, "\n" (new reference).
RTString RuntimeEndOfLine(void);

// Returns the tick clock: 60 ticks a second.
int32_t RuntimeTicks(void);

// One pass of event processing, then a sleep of milliseconds when >= 0.
void RuntimeDoEvents(RTObject* app, int32_t milliseconds);
// The yield point of compiled loops: periodic work at most once per tick.
void RuntimeBackgroundTask(void);
// Sleeps the current cooperative thread; a nil app is reported.
void AppSleepCurrentThread(RTObject* app, int32_t milliseconds);
// Lets the scheduler choose the next cooperative thread to run.
void YieldToNextThread(void);
// Returns the running Thread object (new reference), nil on the main thread.
RTObject* TOLVGetCurrentThread(void);
// ConsoleApplication.ExecutableFile: returns a new FolderItem for the
// executable as start-up resolved it, or nil.
RTObject* AppFolderItemGetter(RTObject* app);

// Registers item (a _Pollable) with the application; takes a reference.
void ApplicationAddPollableObject(RTObject* app, RTObject* item);
// Unregisters item and drops the application's reference.
void ApplicationRemovePollableObject(RTObject* app, RTObject* item);

// Returns true in the detached daemon process; false when a step failed.
uint8_t DaemonizeApp(RTObject* app);

#ifdef __cplusplus
}
#endif
