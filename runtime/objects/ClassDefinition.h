// Static descriptions of built-in classes. A definition becomes a class record
// (the form compiled classes use) on first use; a class the module compiled
// under the same name takes the definition's place.
#pragma once

#include <cstdint>
#include <span>

#include "objects/ObjectModel.h"

namespace rt {

struct MethodDefinition {
  const char* signature;  // "Name%result%parameters", as stored in method entries
  void* function;
};

struct PropertyDefinition {
  const char* name;
  void* getter;
  void* setter;
  std::intptr_t parameter;  // field offset for the field accessors
};

// An event the runtime raises on objects of the class. Its number, the index
// of its event-table entry, is assigned when the definition is first set up.
struct EventDefinition {
  const char* name;
  const char* parameters;
  const char* result;
  std::int32_t number = -1;
};

struct ClassDefinition {
  const char* name;
  const ClassDefinition* super;
  std::uint32_t instanceSize;  // object header included
  ObjectHook initializer;
  ObjectHook finalizer;
  std::span<const MethodDefinition> methods;
  std::span<const PropertyDefinition> properties;
  std::span<EventDefinition> events;
  bool isInterface = false;  // class interfaces are never instantiated
};

}  // namespace rt
