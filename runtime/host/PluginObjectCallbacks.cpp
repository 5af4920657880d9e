// Callbacks through which plugins make objects and find methods and members
// of classes by name.
#include <string_view>

#include "host/NameMatching.h"
#include "host/PluginApi.h"
#include "host/PluginFunctionGroups.h"
#include "text/StringHandle.h"
#include "text/StringStorage.h"

namespace rt::host {
namespace {

void* findInMethodTable(const ClassRecord* cls, std::string_view name) {
  // From the last entry: a class's own methods follow the inherited ones.
  for (std::uint32_t i = cls->methodCount; i-- > 0;) {
    const MethodEntry& entry = cls->methods[i];
    if (entry.code != nullptr && entry.code != reinterpret_cast<void*>(&TOLVnoImplementation) &&
        equalIgnoringCase(signatureName(text::bytes(entry.signature)), name)) {
      return entry.code;
    }
  }
  return nullptr;
}

void* findInExtensions(const ClassRecord* cls, std::string_view name) {
  for (; cls != nullptr; cls = cls->super) {
    for (const PluginFunctionGroup& extension : classExtensions()) {
      if (!equalIgnoringCase(extension.name, text::bytes(cls->name))) continue;
      if (void* function = findMethod(extension.methods, name)) return function;
    }
  }
  return nullptr;
}

}  // namespace
}  // namespace rt::host

using namespace rt::host;

extern "C" {

RTObject* PluginNewInstance(const char* className) {
  if (className == nullptr) return nullptr;
  const rt::String name(className);
  ClassRecord* cls = RuntimeLookupClass(name.get());
  return cls != nullptr ? RuntimeNewObject(cls) : nullptr;
}

RTObject* PluginNewOfSameClass(RTObject* object) {
  return object != nullptr ? RuntimeNewObject(object->cls) : nullptr;
}

void* TOLVLoadGlobalMethod(const char* moduleName, const char* declaration) {
  const std::string_view name = declarationName(declaration);
  if (name.empty()) return nullptr;
  if (moduleName == nullptr || *moduleName == '\0') return findMethod(globalMethods(), name);
  for (const PluginFunctionGroup& module : pluginModules()) {
    if (!equalIgnoringCase(module.name, moduleName)) continue;
    if (void* function = findMethod(module.methods, name)) return function;
  }
  return nullptr;
}

void* TOLVLoadObjectMethod(RTObject* object, const char* declaration) {
  const std::string_view name = declarationName(declaration);
  if (object == nullptr || name.empty()) return nullptr;
  if (void* code = findInMethodTable(object->cls, name)) return code;
  return findInExtensions(object->cls, name);
}

int32_t TOLVCountClassMethods(ClassRecord* cls) {
  return cls != nullptr ? static_cast<int32_t>(cls->methodCount) : 0;
}

uint8_t TOLVGetClassMethod(ClassRecord* cls, int32_t index, void** code, RTString* signature) {
  if (index < 0 || index >= TOLVCountClassMethods(cls)) return 0;
  const MethodEntry& entry = cls->methods[index];
  if (code != nullptr) *code = entry.code;
  if (signature != nullptr) {
    RuntimeLockString(entry.signature);
    *signature = entry.signature;
  }
  return 1;
}

int32_t TOLVCountClassProperties(ClassRecord* cls) {
  return cls != nullptr ? static_cast<int32_t>(cls->propertyCount) : 0;
}

uint8_t TOLVGetClassProperty(ClassRecord* cls, int32_t index, RTString* name, void** getter,
                             void** setter, intptr_t* parameter) {
  if (index < 0 || index >= TOLVCountClassProperties(cls)) return 0;
  const PropertyEntry& entry = cls->properties[index];
  if (name != nullptr) {
    RuntimeLockString(entry.name);
    *name = entry.name;
  }
  if (getter != nullptr) *getter = entry.getter;
  if (setter != nullptr) *setter = entry.setter;
  if (parameter != nullptr) *parameter = entry.parameter;
  return 1;
}

}  // extern "C"
