// Raising exceptions. A raise never unwinds runtime code: it records the
// exception as the current thread's pending exception and the runtime function
// finishes; the C++ handle layer throws it once the entry point has returned.
#pragma once

#include <stdint.h>

#include "objects/ArrayBlock.h"
#include "objects/ObjectModel.h"

#ifdef __cplusplus
extern "C" {
#endif

// Fields of a RuntimeException after the object header.
typedef struct RuntimeExceptionObject {
  RTObject header;
  int32_t errorNumber;
  RTString message;
  RTArray* stack;  // names of the functions the exception passed
} RuntimeExceptionObject;

// Raise (recording the stack) and raise again (keeping it); nil is ignored.
void RuntimeRaiseException(RTObject* exception);
void RuntimeReraiseException(RTObject* exception);
// Called by the outermost handler with an exception nobody handled.
void RuntimeUnhandledException(RTObject* exception);
// The class's initializer (an empty stack array) and finalizer (releases the
// message and the stack).
void RuntimeExceptionInitializer(RTObject* exception);
void RuntimeExceptionFinalizer(RTObject* exception);
// Returns the stack array with a new reference.
RTArray* RuntimeExceptionStack(RTObject* exception);

void RaiseNilObjectException(void);
void RaiseOutOfBoundsException(void);
void RaiseIllegalCastException(void);
// Raises FunctionNotFoundException "Could not load <function> from <library>".
void RuntimeRaiseFunctionNotFoundException(RTString function, RTString library);

#ifdef __cplusplus
}
#endif
