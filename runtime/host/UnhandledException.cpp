#include <cstdio>
#include <string>

#include "console/CompiledCall.h"
#include "console/ConsoleApplication.h"
#include "console/ConsoleWriter.h"
#include "host/Application.h"
#include "host/HostApi.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionApi.h"
#include "objects/ExceptionClasses.h"
#include "text/StringHandle.h"

namespace {

using namespace rt;

bool isA(RTObject* exception, const ClassDefinition& definition) {
  return RuntimeObjectIsa(exception, objects::classFor(definition)) != 0;
}

String replaceAll(std::string text, std::string_view placeholder, std::string_view value) {
  for (std::size_t at = text.find(placeholder); at != std::string::npos;
       at = text.find(placeholder, at + value.size())) {
    text.replace(at, placeholder.size(), value);
  }
  return String(text);
}

// "Exception Message: ", the message, "Exception Error Number: ", the number
// and the shut-down notice naming the class; no line end after it.
String unhandledMessage(RTObject* exception) {
  const auto* fields = reinterpret_cast<const RuntimeExceptionObject*>(exception);
  const String message(fields->message);
  const String className(exception->cls->name);
  return String("Exception Message: ") + message + String("\nException Error Number: ") +
         String(std::to_string(fields->errorNumber)) + String("\n") +
         replaceAll("An exception of class %1 was not handled.  The application must shut down.",
                    "%1", className.view());
}

}  // namespace

extern "C" void DefaultUnhandledExceptionHandler(RTObject* exception) {
  host::ApplicationState& state = host::application();
  // A killed thread's end is handled here and leaves no trace: a flag left
  // set would stop every later Quit from ending Run.
  if (isA(exception, exceptions::threadEndException)) return;
  state.inUnhandledHandler = true;
  const bool isEnd = isA(exception, exceptions::endException);
  if (!isEnd) {
    RTObject* app = state.app;
    auto handler = reinterpret_cast<console::UnhandledExceptionHandler>(
        objects::lookupEvent(app, console::unhandledExceptionEvent));
    // The event's own exceptions end with it: the program is shutting down.
    if (handler != nullptr && !console::callCompiled([&] { handler(app, exception); })) {
      RuntimeUnlockObject(exceptions::take());
    }
  }
  state.inUnhandledHandler = false;
  if (state.quitRequested) return;
  if (!isEnd) console::writeText(stderr, unhandledMessage(exception).get());
  state.quitRequested = true;
}
