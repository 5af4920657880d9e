#include "objects/ClassRegistry.h"

#include <cstring>
#include <string>
#include <unordered_map>

#include "host/FailureReport.h"
#include "objects/ObjectModelInternal.h"
#include "text/Encodings.h"
#include "text/StringApi.h"
#include "text/StringCompare.h"
#include "text/StringStorage.h"

namespace rt::objects {
namespace {

constexpr const char* kSourceFile = "../Common/Object Model/ObjectDefinition";

struct Registry {
  ClassRecord* classList = nullptr;
  std::unordered_map<std::string, const ClassDefinition*> definitions;
  std::unordered_map<const ClassDefinition*, ClassRecord*> byDefinition;
  std::unordered_map<std::string, ClassRecord*> byName;
  ExternalClassLookup external = nullptr;
};

Registry& registry() {
  static Registry r;
  return r;
}

std::uint32_t eventCountOf(const ClassDefinition* definition) {
  std::uint32_t count = 0;
  for (; definition != nullptr; definition = definition->super) {
    count += static_cast<std::uint32_t>(definition->events.size());
  }
  return count;
}

std::uint32_t propertyCountOf(const ClassDefinition* definition) {
  std::uint32_t count = 0;
  for (; definition != nullptr; definition = definition->super) {
    count += static_cast<std::uint32_t>(definition->properties.size());
  }
  return count;
}

void numberEvents(const ClassDefinition& definition) {
  std::uint32_t number = eventCountOf(definition.super);
  for (EventDefinition& event : definition.events) event.number = static_cast<std::int32_t>(number++);
}

RTString constantString(const char* text) {
  return text::makeString(text, std::strlen(text), kEncodingUTF8);
}

std::string_view methodName(std::string_view signature) {
  return signature.substr(0, signature.find('%'));
}

// Puts a method in the first slot whose name it overrides, else after the
// slots in use. Returns the new number of slots in use.
std::uint32_t placeMethod(ClassRecord* cls, std::uint32_t used, const MethodDefinition& method) {
  const std::string_view name = methodName(method.signature);
  for (std::uint32_t i = 0; i < used; ++i) {
    if (methodName(text::bytes(cls->methods[i].signature)) == name) {
      cls->methods[i].code = method.function;
      return used;
    }
  }
  cls->methods[used] = {method.function, constantString(method.signature)};
  return used + 1;
}

ClassRecord* findOnClassList(const char* name) {
  RTString wanted = constantString(name);
  ClassRecord* found = nullptr;
  for (ClassRecord* cls = registry().classList; cls != nullptr; cls = cls->nextClass) {
    if (cls->name != nullptr && RuntimeStringCompare(cls->name, wanted) == 0) {
      found = cls;
      break;
    }
  }
  RuntimeUnlockString(wanted);
  return found;
}

ClassRecord* buildRecord(const ClassDefinition& definition) {
  ClassRecord* super = definition.super ? classFor(*definition.super) : nullptr;
  // The superclass may be a larger class the module compiled under the
  // definition's name, so the tables are sized from its record.
  const std::uint32_t inheritedMethods = super ? super->methodCount : 0;
  const std::uint32_t inheritedProperties = super ? super->propertyCount : 0;
  ClassRecord* cls = RuntimeNewClass(
      super, inheritedMethods + static_cast<std::uint32_t>(definition.methods.size()), 0,
      eventCountOf(&definition), 0,
      inheritedProperties + static_cast<std::uint32_t>(definition.properties.size()));
  cls->name = constantString(definition.name);
  cls->instanceSize = definition.instanceSize;
  cls->isInterface = definition.isInterface;
  cls->initializer = definition.initializer;
  cls->finalizer = definition.finalizer;

  std::uint32_t usedMethods = inheritedMethods;
  for (const MethodDefinition& method : definition.methods) {
    usedMethods = placeMethod(cls, usedMethods, method);
  }
  // Overrides leave trailing slots unused; the table ends at the last one filled.
  cls->methodCount = usedMethods;

  std::uint32_t property = inheritedProperties;
  for (const PropertyDefinition& p : definition.properties) {
    cls->properties[property++] = {constantString(p.name), p.getter, p.setter, p.parameter};
  }
  if (property != propertyCountOf(&definition)) {
    reportAssertion(kSourceFile, __LINE__, "propertyCount == defn->mPropertyTableSize");
  }
  return cls;
}

}  // namespace

ClassRecord*& classListHead() { return registry().classList; }

ClassRecord* firstClass() { return registry().classList; }

void registerClassDefinition(const ClassDefinition& definition) {
  numberEvents(definition);
  registry().definitions[definition.name] = &definition;
}

ClassRecord* classFor(const ClassDefinition& definition) {
  Registry& r = registry();
  if (auto cached = r.byDefinition.find(&definition); cached != r.byDefinition.end()) {
    return cached->second;
  }
  numberEvents(definition);
  ClassRecord* cls = findOnClassList(definition.name);
  if (cls == nullptr) cls = buildRecord(definition);
  r.byDefinition[&definition] = cls;
  return cls;
}

void* lookupEvent(RTObject* object, const EventDefinition& event) {
  if (object == nullptr || object->eventTable == nullptr || object->cls->eventCount == 0) {
    return nullptr;
  }
  if (event.number < 0 || static_cast<std::uint32_t>(event.number) >= object->cls->eventCount) {
    return nullptr;
  }
  return object->eventTable[event.number].handler;
}

void setExternalClassLookup(ExternalClassLookup lookup) { registry().external = lookup; }

}  // namespace rt::objects

extern "C" ClassRecord* RuntimeLookupClass(RTString name) {
  using namespace rt::objects;
  Registry& r = registry();
  const std::string key(rt::text::bytes(name));
  if (auto cached = r.byName.find(key); cached != r.byName.end()) return cached->second;
  ClassRecord* cls = nullptr;
  if (auto definition = r.definitions.find(key); definition != r.definitions.end()) {
    cls = classFor(*definition->second);
  } else if (r.external != nullptr) {
    cls = r.external(name);
  }
  if (cls != nullptr) r.byName[key] = cls;
  return cls;
}
