#include "objects/ObjectModel.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "host/FailureReport.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionApi.h"
#include "objects/ObjectModelInternal.h"
#include "text/SmallBlockAllocator.h"
#include "text/StringApi.h"

namespace rt::objects {
namespace {

constexpr const char* kSourceFile = "../Common/Object Model/RuntimeObjectFoundation";
constexpr std::size_t kFixedClassSize = offsetof(ClassRecord, interfaces);

// Only the thread holding the scheduler baton runs runtime code, so this state
// needs no lock.
struct ObjectState {
  RTObject* liveHead = nullptr;
  std::int64_t liveCount = 0;
  std::vector<RTObject*> deferred;
  bool destroying = false;
};

ObjectState& state() {
  static ObjectState s;
  return s;
}

template <class Entry>
void copyEntries(Entry* to, const Entry* from, std::uint32_t count) {
  if (count > 0) std::memcpy(to, from, count * sizeof(Entry));
}

// A subclass table smaller than its superclass's is reported and then widened
// to the superclass's count, so every inherited entry has a slot of its own
// instead of spilling over the tables that follow.
std::uint32_t inheritedCount(std::uint32_t requested, std::uint32_t inherited,
                             const char* condition) {
  if (requested >= inherited) return requested;
  reportAssertion(kSourceFile, __LINE__, condition);
  return inherited;
}

// Every object holds at least its header, whatever instance size the module
// stored in the class record.
std::size_t objectSize(const ClassRecord* cls) {
  return std::max<std::size_t>(cls->instanceSize, sizeof(RTObject));
}

void callInitializers(ClassRecord* cls, RTObject* object) {
  if (cls == nullptr) return;
  callInitializers(cls->super, object);
  if (cls->initializer != nullptr) cls->initializer(object);
}

void linkLive(RTObject* object) {
  ObjectState& s = state();
  object->previousLive = nullptr;
  object->nextLive = s.liveHead;
  if (s.liveHead != nullptr) s.liveHead->previousLive = object;
  s.liveHead = object;
  ++s.liveCount;
}

void unlinkLive(RTObject* object) {
  ObjectState& s = state();
  if (object->previousLive != nullptr) object->previousLive->nextLive = object->nextLive;
  else s.liveHead = object->nextLive;
  if (object->nextLive != nullptr) object->nextLive->previousLive = object->previousLive;
  --s.liveCount;
}

void release(RTObject* object) {
  for (ClassRecord* cls = object->cls; cls != nullptr; cls = cls->super) {
    if (cls->finalizer != nullptr) cls->finalizer(object);
  }
  if (object->eventTable != nullptr && object->eventTable != object->cls->events) {
    memory::release(object->eventTable, object->cls->eventCount * sizeof(EventEntry));
  }
  unlinkLive(object);
  memory::release(object, objectSize(object->cls));
}

// Runs the destructors from the object's class up; returns false when one of
// them stored a new reference to the object, which then lives on.
bool runDestructors(RTObject* object) {
  object->refCount = 1;
  for (ClassRecord* cls = object->cls; cls != nullptr; cls = cls->super) {
    if (cls->destructor == nullptr) continue;
    cls->destructor(object);
    if (object->refCount > 1) {
      --object->refCount;
      return false;
    }
  }
  object->refCount = 0;
  return true;
}

void destroy(RTObject* object) {
  if (!runDestructors(object)) return;
  ObjectState& s = state();
  if (s.destroying) {
    s.deferred.push_back(object);
    return;
  }
  // Objects whose last reference another release drops are queued and released
  // here, one at a time, so long chains never deepen the native stack.
  s.destroying = true;
  release(object);
  while (!s.deferred.empty()) {
    RTObject* next = s.deferred.back();
    s.deferred.pop_back();
    release(next);
  }
  s.destroying = false;
}

bool isOnSuperChain(const ClassRecord* cls, const ClassRecord* wanted) {
  for (; cls != nullptr; cls = cls->super) {
    if (cls == wanted) return true;
  }
  return false;
}

const InterfaceEntry* findInterface(const ClassRecord* cls, const ClassRecord* interface) {
  for (std::uint32_t i = 0; i < cls->interfaceCount; ++i) {
    if (cls->interfaces[i].interface == interface) return &cls->interfaces[i];
  }
  return nullptr;
}

bool isNamed(const ClassRecord* cls, const char* name) {
  return cls != nullptr && cls->name != nullptr && std::strcmp(cls->name->text, name) == 0;
}

// A zero-filled block whose size was reckoned in 64 bits, so that large
// counts cannot wrap round to a short block on 32-bit x86; null when the
// allocation fails or the size does not fit the address space.
void* allocateZeroed(std::uint64_t size) {
  if (size > SIZE_MAX) return nullptr;
  void* block = rt::memory::allocate(static_cast<std::size_t>(size), true);
  if (block != nullptr) std::memset(block, 0, static_cast<std::size_t>(size));
  return block;
}

}  // namespace

std::int64_t liveObjectCount() { return state().liveCount; }

void pushClass(ClassRecord* cls) {
  cls->nextClass = classListHead();
  classListHead() = cls;
}

}  // namespace rt::objects

using namespace rt::objects;

extern "C" {

ClassRecord* RuntimeNewClass(ClassRecord* super, uint32_t methodCount, uint32_t interfaceCount,
                             uint32_t eventCount, uint32_t sharedCount, uint32_t propertyCount) {
  if (super != nullptr) {
    methodCount = inheritedCount(methodCount, super->methodCount,
                                 "out->methodCount >= base->methodCount");
    interfaceCount = inheritedCount(interfaceCount, super->interfaceCount,
                                    "out->interfaceCount >= base->interfaceCount");
    eventCount = inheritedCount(eventCount, super->eventCount, "out->eventCount >= base->eventCount");
    propertyCount = inheritedCount(propertyCount, super->propertyCount,
                                   "out->propertyCount >= base->propertyCount");
  }
  const std::uint64_t size = kFixedClassSize +
                             std::uint64_t{interfaceCount} * sizeof(InterfaceEntry) +
                             std::uint64_t{methodCount} * sizeof(MethodEntry) +
                             std::uint64_t{eventCount} * sizeof(EventEntry) +
                             std::uint64_t{sharedCount} * sizeof(SharedMemberEntry) +
                             std::uint64_t{propertyCount} * sizeof(PropertyEntry);
  auto* cls = static_cast<ClassRecord*>(allocateZeroed(size));
  if (cls == nullptr) {
    RaiseNilObjectException();
    return nullptr;
  }
  auto* cursor = reinterpret_cast<char*>(cls->interfaces + interfaceCount);
  cls->methods = reinterpret_cast<MethodEntry*>(cursor);
  cursor += methodCount * sizeof(MethodEntry);
  cls->events = reinterpret_cast<EventEntry*>(cursor);
  cursor += eventCount * sizeof(EventEntry);
  cls->shared = reinterpret_cast<SharedMemberEntry*>(cursor);
  cursor += sharedCount * sizeof(SharedMemberEntry);
  cls->properties = reinterpret_cast<PropertyEntry*>(cursor);
  cls->methodCount = methodCount;
  cls->interfaceCount = interfaceCount;
  cls->eventCount = eventCount;
  cls->sharedCount = sharedCount;
  cls->propertyCount = propertyCount;

  if (super != nullptr) {
    copyEntries(cls->methods, super->methods, super->methodCount);
    copyEntries(cls->interfaces, super->interfaces, super->interfaceCount);
    copyEntries(cls->events, super->events, super->eventCount);
    copyEntries(cls->shared, super->shared, std::min(sharedCount, super->sharedCount));
    copyEntries(cls->properties, super->properties, super->propertyCount);
  }
  cls->super = super;
  pushClass(cls);
  return cls;
}

void RuntimeRegisterClass(ClassRecord* cls) {
  if (cls != nullptr) pushClass(cls);
}

MethodEntry* RuntimeNewVtable(int32_t count) {
  if (count < 1) return nullptr;
  const std::uint64_t size = static_cast<std::uint64_t>(count) * sizeof(MethodEntry);
  auto* table = static_cast<MethodEntry*>(allocateZeroed(size));
  if (table == nullptr) {
    RaiseNilObjectException();
    return nullptr;
  }
  return table;
}

RTObject* RuntimeNewObject(ClassRecord* cls) {
  if (cls == nullptr) {
    RaiseNilObjectException();
    return nullptr;
  }
  if (cls->isInterface) rt::reportAssertion(kSourceFile, __LINE__, "!parent->isAnInterface");
  const std::size_t size = objectSize(cls);
  auto* object = static_cast<RTObject*>(rt::memory::allocate(size, true));
  if (object == nullptr) {
    RaiseNilObjectException();
    return nullptr;
  }
  std::memset(object, 0, size);
  linkLive(object);
  object->methodTable = cls->methods;
  object->cls = cls;
  object->eventTable = cls->events;
  object->refCount = 1;
  callInitializers(cls, object);
  return object;
}

RTObject* CreateInstance(ClassRecord* cls) { return RuntimeNewObject(cls); }

void RuntimeLockObject(RTObject* object) {
  if (object != nullptr && object->refCount != 0) ++object->refCount;
}

void RuntimeUnlockObject(RTObject* object) {
  if (object == nullptr || object->refCount <= 0) return;
  if (--object->refCount == 0) destroy(object);
}

void RuntimeLockUnlockObjects(RTObject* newValue, RTObject* oldValue) {
  if (newValue == oldValue) return;
  RuntimeLockObject(newValue);
  RuntimeUnlockObject(oldValue);
}

uint8_t RuntimeObjectIsa(RTObject* object, ClassRecord* cls) {
  if (object == nullptr) return 0;
  if (cls == nullptr) return 1;
  if (cls->isInterface) return findInterface(object->cls, cls) != nullptr;
  return isOnSuperChain(object->cls, cls);
}

RTObject* RuntimeCheckCast(RTObject* object, ClassRecord* cls) {
  if (object == nullptr) return nullptr;
  if (cls == nullptr) return object;
  const bool allowed = cls->isInterface || isOnSuperChain(object->cls, cls) ||
                       (isNamed(object->cls, "OLEObject") && isNamed(cls->super, "OLEObject"));
  if (!allowed) {
    RaiseIllegalCastException();
    return nullptr;
  }
  RuntimeLockObject(object);
  return object;
}

MethodEntry* RuntimeLookupInterfaceVtable(RTObject* object, ClassRecord* interface) {
  if (object == nullptr || interface == nullptr) {
    RaiseNilObjectException();
    return nullptr;
  }
  const InterfaceEntry* entry =
      interface->isInterface ? findInterface(object->cls, interface) : nullptr;
  if (entry == nullptr) {
    RaiseIllegalCastException();
    return nullptr;
  }
  return entry->methods;
}

}  // extern "C"
