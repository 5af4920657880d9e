#include <array>
#include <cstddef>
#include <cstdint>

#include "host/FailureReport.h"
#include "host/HandlerDelivery.h"
#include "objects/ArrayApi.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionApi.h"
#include "objects/ExceptionClasses.h"
#include "objects/FieldAccessors.h"
#include "text/Encodings.h"
#include "text/StringApi.h"
#include "text/StringCompare.h"
#include "text/StringStorage.h"

namespace rt::exceptions {
namespace {

constexpr const char* kSourceFile = "../Common/Object Model/RuntimeExceptionFoundation";

RuntimeExceptionObject* fields(RTObject* exception) {
  return reinterpret_cast<RuntimeExceptionObject*>(exception);
}

using StackGetter = RTArray* (*)(RTObject*);

const std::array kExceptionMethods{
    MethodDefinition{"Stack%A1s%o<RuntimeException>",
                     reinterpret_cast<void*>(static_cast<StackGetter>(&RuntimeExceptionStack))},
};

const std::array kExceptionProperties{
    PropertyDefinition{"ErrorNumber", reinterpret_cast<void*>(&intGetter),
                       reinterpret_cast<void*>(&intSetter),
                       offsetof(RuntimeExceptionObject, errorNumber)},
    PropertyDefinition{"Message", reinterpret_cast<void*>(&stringGetter),
                       reinterpret_cast<void*>(&stringSetter),
                       offsetof(RuntimeExceptionObject, message)},
};

constexpr ClassDefinition subclass(const char* name) {
  return ClassDefinition{name, &runtimeException, sizeof(RuntimeExceptionObject), nullptr,
                         nullptr, {}, {}, {}};
}

struct ThreadExceptionState {
  RTObject* pending = nullptr;
};

// Each cooperative thread runs on an operating-system thread of its own, so a
// thread-local slot is the thread's own pending exception.
thread_local ThreadExceptionState threadState;

struct RaiseClasses {
  ClassRecord* nilObject = nullptr;
  ClassRecord* runtime = nullptr;
  ClassRecord* illegalCast = nullptr;
  ClassRecord* outOfBounds = nullptr;
  ClassRecord* functionNotFound = nullptr;
  UnhandledExceptionHook unhandledHook = nullptr;
};

RaiseClasses& raiseClasses() {
  static RaiseClasses classes;
  return classes;
}

void registerRaiseClass(ClassRecord*& slot, ClassRecord* cls) {
  if (cls == nullptr) reportAssertion(kSourceFile, __LINE__, "exc");
  slot = cls;
}

// The class a raise function uses: the registered one, or before registration
// the record of the built-in definition.
ClassRecord* raiseClass(ClassRecord* registered, const ClassDefinition& definition) {
  return registered != nullptr ? registered : objects::classFor(definition);
}

void pend(RTObject* exception) {
  RuntimeLockObject(exception);
  RTObject* previous = threadState.pending;
  threadState.pending = exception;
  RuntimeUnlockObject(previous);
}

// Loaded code above this frame receives the exception when the runtime
// returns to it.
void deliver(RTObject* exception) {
  pend(exception);
  host::armLoadedCodeReturn(reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0)));
}

// The functions of loaded code the raise passes, named by its symbols part.
void recordStack(RTArray* stack) {
  using Redim = void (*)(RTArray*, int32_t);
  using Set = void (*)(RTArray*, RTString, int32_t);
  const auto names = host::loadedFunctionNames(reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0)));
  reinterpret_cast<Redim>(stack->methods->slots[kArraySlotRedim])(stack, static_cast<int32_t>(names.size()) - 1);
  for (std::size_t i = 0; i < names.size(); ++i) {
    // Names in the symbols part end with a zero byte.
    RTString name = StringFromCString(names[i].data());
    reinterpret_cast<Set>(stack->methods->slots[kArraySlotSet])(stack, name, static_cast<int32_t>(i));
    RuntimeUnlockString(name);
  }
}

void raiseNew(ClassRecord* cls, std::int32_t errorNumber, RTString message) {
  RTObject* exception = RuntimeNewObject(cls);
  if (exception == nullptr) return;
  fields(exception)->errorNumber = errorNumber;
  RuntimeLockUnlockStrings(message, fields(exception)->message);
  fields(exception)->message = message;
  RuntimeRaiseException(exception);
  RuntimeUnlockObject(exception);
}

}  // namespace

const ClassDefinition runtimeException{"RuntimeException", nullptr,
                                       sizeof(RuntimeExceptionObject), &RuntimeExceptionInitializer,
                                       &RuntimeExceptionFinalizer, kExceptionMethods,
                                       kExceptionProperties, {}};
const ClassDefinition nilObjectException = subclass("NilObjectException");
const ClassDefinition serviceNotAvailableException = subclass("ServiceNotAvailableException");
const ClassDefinition noOpenTransportException = subclass("NoOpenTransportException");
const ClassDefinition registryAccessErrorException = subclass("RegistryAccessErrorException");
const ClassDefinition illegalCastException = subclass("IllegalCastException");
const ClassDefinition invalidParentException = subclass("InvalidParentException");
const ClassDefinition stackOverflowException = subclass("StackOverflowException");
const ClassDefinition typeMismatchException = subclass("TypeMismatchException");
const ClassDefinition outOfBoundsException = subclass("OutOfBoundsException");
const ClassDefinition outOfMemoryException = subclass("OutOfMemoryException");
const ClassDefinition keyNotFoundException = subclass("KeyNotFoundException");
const ClassDefinition endException = subclass("EndException");
const ClassDefinition threadEndException = subclass("ThreadEndException");
const ClassDefinition threadAlreadyRunningException = subclass("ThreadAlreadyRunningException");
const ClassDefinition unsupportedFormatException = subclass("UnsupportedFormatException");
const ClassDefinition keyChainException = subclass("KeyChainException");
const ClassDefinition oleException = subclass("OLEException");
const ClassDefinition functionNotFoundException = subclass("FunctionNotFoundException");
const ClassDefinition illegalLockingException = subclass("IllegalLockingException");

std::span<const ClassDefinition* const> allDefinitions() {
  static const std::array<const ClassDefinition*, 20> all{
      &runtimeException,         &nilObjectException,
      &serviceNotAvailableException, &noOpenTransportException,
      &registryAccessErrorException, &illegalCastException,
      &invalidParentException,   &stackOverflowException,
      &typeMismatchException,    &outOfBoundsException,
      &outOfMemoryException,     &keyNotFoundException,
      &endException,             &threadEndException,
      &threadAlreadyRunningException, &unsupportedFormatException,
      &keyChainException,        &oleException,
      &functionNotFoundException, &illegalLockingException,
  };
  return all;
}

void registerExceptionClasses() {
  for (const ClassDefinition* definition : allDefinitions()) {
    objects::registerClassDefinition(*definition);
  }
  RaiseClasses& r = raiseClasses();
  registerRaiseClass(r.nilObject, objects::classFor(nilObjectException));
  registerRaiseClass(r.runtime, objects::classFor(runtimeException));
  registerRaiseClass(r.illegalCast, objects::classFor(illegalCastException));
  registerRaiseClass(r.outOfBounds, objects::classFor(outOfBoundsException));
  registerRaiseClass(r.functionNotFound, objects::classFor(functionNotFoundException));
}

void raise(const ClassDefinition& definition) { raise(definition, 0, nullptr); }

void raise(const ClassDefinition& definition, std::int32_t errorNumber, RTString message) {
  raiseNew(objects::classFor(definition), errorNumber, message);
}

RTObject* pending() { return threadState.pending; }

RTObject* take() {
  RTObject* exception = threadState.pending;
  threadState.pending = nullptr;
  return exception;
}

void repend(RTObject* exception) { deliver(exception); }

void setPending(RTObject* exception) { pend(exception); }

void setUnhandledExceptionHook(UnhandledExceptionHook hook) { raiseClasses().unhandledHook = hook; }

}  // namespace rt::exceptions

using namespace rt::exceptions;

extern "C" {

void RuntimeRaiseException(RTObject* exception) {
  if (exception == nullptr) return;
  // Only exception objects have a stack field to fill.
  const bool isException =
      RuntimeObjectIsa(exception, rt::objects::classFor(rt::exceptions::runtimeException)) != 0;
  RTArray* stack = isException ? fields(exception)->stack : nullptr;
  if (stack != nullptr) recordStack(stack);
  deliver(exception);
}

void RuntimeReraiseException(RTObject* exception) {
  if (exception == nullptr) return;
  deliver(exception);
}

void RuntimeUnhandledException(RTObject* exception) {
  if (raiseClasses().unhandledHook == nullptr) {
    rt::reportAssertion(kSourceFile, __LINE__, "0");
    return;
  }
  raiseClasses().unhandledHook(exception);
}

void RuntimeExceptionInitializer(RTObject* exception) {
  fields(exception)->stack = CreateArray(1, kArrayString, -1);
}

void RuntimeExceptionFinalizer(RTObject* exception) {
  RuntimeUnlockString(fields(exception)->message);
  RuntimeUnlockArray(fields(exception)->stack);
}

RTArray* RuntimeExceptionStack(RTObject* exception) {
  if (exception == nullptr) return nullptr;
  RTArray* stack = fields(exception)->stack;
  RuntimeLockArray(stack);
  return stack;
}

void RaiseNilObjectException(void) {
  raiseNew(raiseClass(raiseClasses().nilObject, nilObjectException), 0, nullptr);
}

void RaiseOutOfBoundsException(void) {
  raiseNew(raiseClass(raiseClasses().outOfBounds, outOfBoundsException), 0, nullptr);
}

void RaiseIllegalCastException(void) {
  raiseNew(raiseClass(raiseClasses().illegalCast, illegalCastException), 0, nullptr);
}

void RuntimeRaiseFunctionNotFoundException(RTString function, RTString library) {
  RTString prefix = StringFromCString("Could not load ");
  RTString from = StringFromCString(" from ");
  RTString withFunction = RuntimeAddString(prefix, function);
  RTString withFrom = RuntimeAddString(withFunction, from);
  RTString message = RuntimeAddString(withFrom, library);
  raiseNew(raiseClass(raiseClasses().functionNotFound, functionNotFoundException), 0, message);
  for (RTString s : {prefix, from, withFunction, withFrom, message}) RuntimeUnlockString(s);
}

}  // extern "C"
