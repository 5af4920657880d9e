#include "Console.h"

#include "Progress.h"
#include "console/ConsoleApi.h"
#include "objects/ObjectHandle.h"

namespace vantor::app {

void print(const rt::String& line) {
  hideProgress();
  RuntimeConsolePrint(line.get());
}

void printLines(std::span<const char* const> lines) {
  for (const char* line : lines) print(rt::String(line));
}

rt::String input() { return rt::String::adopt(RuntimeConsoleInput()); }

bool inputEnded() {
  const rt::Object standardInput = rt::Object::adopt(RuntimeGetStdIn());
  return RuntimeStdInputEof(standardInput.get()) != 0;
}

}  // namespace vantor::app
