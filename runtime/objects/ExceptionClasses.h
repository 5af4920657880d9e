// The built-in exception classes and the runtime's own raising services.
#pragma once

#include <cstdint>
#include <span>

#include "objects/ClassDefinition.h"
#include "objects/ObjectModel.h"

namespace rt::exceptions {

extern const ClassDefinition runtimeException;
extern const ClassDefinition nilObjectException;
extern const ClassDefinition serviceNotAvailableException;
extern const ClassDefinition noOpenTransportException;
extern const ClassDefinition registryAccessErrorException;
extern const ClassDefinition illegalCastException;
extern const ClassDefinition invalidParentException;
extern const ClassDefinition stackOverflowException;
extern const ClassDefinition typeMismatchException;
extern const ClassDefinition outOfBoundsException;
extern const ClassDefinition outOfMemoryException;
extern const ClassDefinition keyNotFoundException;
extern const ClassDefinition endException;
extern const ClassDefinition threadEndException;
extern const ClassDefinition threadAlreadyRunningException;
extern const ClassDefinition unsupportedFormatException;
extern const ClassDefinition keyChainException;
extern const ClassDefinition oleException;
extern const ClassDefinition functionNotFoundException;
extern const ClassDefinition illegalLockingException;

// RuntimeException and its 19 subclasses.
std::span<const ClassDefinition* const> allDefinitions();

// Registers every exception definition and the classes the raise functions use.
void registerExceptionClasses();

// Raises a new exception of the class, with an error number and message when given.
void raise(const ClassDefinition& definition);
void raise(const ClassDefinition& definition, std::int32_t errorNumber, RTString message);

// The pending exception of the current thread, or null. take() hands over the
// pending reference and clears it.
RTObject* pending();
[[nodiscard]] RTObject* take();
// Makes an exception pending again (used where the runtime calls compiled code
// that threw); takes its own reference.
void repend(RTObject* exception);
// Makes an exception pending without delivering it to loaded code (the
// delivery itself uses it); takes its own reference.
void setPending(RTObject* exception);

// Called with an exception that nobody handled.
using UnhandledExceptionHook = void (*)(RTObject* exception);
void setUnhandledExceptionHook(UnhandledExceptionHook hook);

}  // namespace rt::exceptions
