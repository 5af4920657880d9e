#include "Shell.h"

#include <cstdint>

#include "objects/ExceptionHandle.h"

namespace vantor::app {
namespace {

constexpr const char* kEntryNames[] = {"Shell.Execute(command as String)", "Shell.Result.Get"};
enum Entry { kExecute, kResultGetter };

void** entryTable = nullptr;

using ExecuteEntry = void (*)(RTObject*, RTString);
using ResultGetterEntry = RTString (*)(RTObject*, std::intptr_t);

template <class Function>
Function entry(Entry which) {
  return reinterpret_cast<Function>(entryTable[which]);
}

}  // namespace

std::span<const char* const> shellEntryNames() { return kEntryNames; }

void*** shellEntryTable() { return &entryTable; }

Shell::Shell() : shell_(rt::newObject(RuntimeLookupClass(rt::String("Shell").get()))) {}

rt::String Shell::execute(const rt::String& command) {
  entry<ExecuteEntry>(kExecute)(shell_.get(), command.get());
  rt::throwIfPending();
  rt::String result = rt::String::adopt(entry<ResultGetterEntry>(kResultGetter)(shell_.get(), 0));
  rt::throwIfPending();
  return result;
}

}  // namespace vantor::app
