#include "console/Pollables.h"

#include <cstring>
#include <string_view>
#include <vector>

#include "console/ConsoleApi.h"
#include "console/ConsoleApplication.h"
#include "console/EventLoop.h"
#include "objects/ObjectHandle.h"
#include "text/StringStorage.h"

namespace rt::console {
namespace {

// The counted reference lives in the task, so a copy of it keeps the object
// alive while its _Poll runs even if _Poll removes it.
struct PollableWrapper {
  RTObject* item;
  std::int32_t taskId;
};

std::vector<PollableWrapper>& wrappers() {
  static std::vector<PollableWrapper> list;
  return list;
}

// The slot of _Poll in the interface's method table, found by name so that
// a module's own _Pollable record with another layout still works.
std::int32_t pollSlot(ClassRecord* interface) {
  for (std::uint32_t i = 0; i < interface->methodCount; ++i) {
    const std::string_view signature = text::bytes(interface->methods[i].signature);
    if (signature.substr(0, signature.find('%')) == "_Poll") return static_cast<std::int32_t>(i);
  }
  return -1;
}

// The object's _Poll implementation; null (with an exception pending) when
// the object does not implement the interface.
PollMethod findPoll(RTObject* item) {
  ClassRecord* interface = pollableClass();
  MethodEntry* methods = RuntimeLookupInterfaceVtable(item, interface);
  const std::int32_t slot = pollSlot(interface);
  if (methods == nullptr || slot < 0) return nullptr;
  return reinterpret_cast<PollMethod>(methods[slot].code);
}

}  // namespace

std::size_t pollableCount() { return wrappers().size(); }

}  // namespace rt::console

using namespace rt::console;

extern "C" {

void ApplicationAddPollableObject(RTObject*, RTObject* item) {
  const PollMethod poll = findPoll(item);
  if (poll == nullptr) return;
  rt::Object held(item);
  const std::int32_t taskId = addBackgroundTask([poll, held] { poll(held.get()); }, 0);
  wrappers().push_back({item, taskId});
}

void ApplicationRemovePollableObject(RTObject*, RTObject* item) {
  auto& list = wrappers();
  for (auto wrapper = list.rbegin(); wrapper != list.rend(); ++wrapper) {
    if (wrapper->item != item) continue;
    removeBackgroundTask(wrapper->taskId);
    list.erase(std::next(wrapper).base());
    return;
  }
}

}  // extern "C"
