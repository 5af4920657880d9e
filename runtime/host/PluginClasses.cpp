#include "host/PluginClasses.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <strings.h>

#include "host/FailureReport.h"
#include "host/NameMatching.h"
#include "host/PluginApi.h"
#include "objects/ClassRegistry.h"
#include "objects/FieldAccessors.h"
#include "text/Encodings.h"
#include "text/StringHandle.h"
#include "text/StringStorage.h"

namespace rt::host {
namespace {

constexpr const char* kSourceFile = "../Common/plugin";
constexpr std::intptr_t kMinimumClassSdkVersion = 3;
constexpr const char* kReservedNames[] = {"DatabaseCursor", "RecordSet", "DatabaseCursorField",
                                          "DatabaseField"};
constexpr const char* kAutomationNames[] = {"ExcelApplication", "PowerPointApplication",
                                            "WordApplication"};

std::vector<PluginClass>& classes() {
  static std::vector<PluginClass> list;
  return list;
}

struct PluginInterface {
  std::string name;
  ClassRecord* record;
};

std::vector<PluginInterface>& interfaces() {
  static std::vector<PluginInterface> list;
  return list;
}

template <std::size_t N>
bool isOneOf(const std::string& name, const char* const (&names)[N]) {
  return std::any_of(std::begin(names), std::end(names),
                     [&](const char* candidate) { return name == candidate; });
}

std::uint32_t alignedSize(std::intptr_t size) {
  return static_cast<std::uint32_t>((size + 7) & ~std::intptr_t{7});
}

const PluginClass* pluginClassOf(const ClassRecord* record) {
  for (const PluginClass& pluginClass : classes()) {
    if (pluginClass.record == record && record != nullptr) return &pluginClass;
  }
  return nullptr;
}

// The plugin classes on an object's class chain, most derived first.
std::vector<const PluginClass*> pluginChain(RTObject* object) {
  std::vector<const PluginClass*> chain;
  for (const ClassRecord* cls = object->cls; cls != nullptr; cls = cls->super) {
    if (const PluginClass* pluginClass = pluginClassOf(cls)) chain.push_back(pluginClass);
  }
  return chain;
}

// A class record has one initializer and finalizer slot and no context, so
// the outermost plugin class carries these and they run the plugin
// constructors root first and the destructors most derived first.
void constructPluginObject(RTObject* object) {
  const auto chain = pluginChain(object);
  for (auto at = chain.rbegin(); at != chain.rend(); ++at) {
    if ((*at)->definition->constructor != nullptr) (*at)->definition->constructor(object);
  }
}

void destroyPluginObject(RTObject* object) {
  for (const PluginClass* pluginClass : pluginChain(object)) {
    if (pluginClass->definition->destructor != nullptr) pluginClass->definition->destructor(object);
  }
}

RTString utf8(const std::string& text) { return text::makeString(text, kEncodingUTF8); }

struct FieldAccess {
  void* getter;
  void* setter;
};

// Plain-field properties read and write the plugin data through the field
// accessor of their type.
FieldAccess fieldAccessFor(const char* type) {
  const std::string name = type != nullptr ? type : "";
  auto is = [&](const char* candidate) { return strcasecmp(name.c_str(), candidate) == 0; };
  if (is("Boolean")) return {reinterpret_cast<void*>(&boolGetter), reinterpret_cast<void*>(&boolSetter)};
  if (is("String")) return {reinterpret_cast<void*>(&stringGetter), reinterpret_cast<void*>(&stringSetter)};
  if (is("Double")) return {reinterpret_cast<void*>(&doubleGetter), reinterpret_cast<void*>(&doubleSetter)};
  if (is("Single")) return {reinterpret_cast<void*>(&singleGetter), reinterpret_cast<void*>(&singleSetter)};
  if (is("Int64")) return {reinterpret_cast<void*>(&int64Getter), reinterpret_cast<void*>(&int64Setter)};
  if (is("Integer") || is("Color")) return {reinterpret_cast<void*>(&intGetter), reinterpret_cast<void*>(&intSetter)};
  return {reinterpret_cast<void*>(&objGetter), reinterpret_cast<void*>(&objSetter)};
}

PropertyEntry propertyEntry(const PluginProperty& property, std::intptr_t dataOffset) {
  PropertyEntry entry{utf8(property.name ? property.name : ""), property.getter, property.setter,
                      property.parameter};
  const FieldAccess access = fieldAccessFor(property.type);
  if (property.getter == kPluginFieldAccess) entry.getter = access.getter;
  if (property.setter == kPluginFieldAccess) entry.setter = access.setter;
  if (property.getter == kPluginFieldAccess || property.setter == kPluginFieldAccess) {
    entry.parameter = dataOffset + property.parameter;
  }
  return entry;
}

ClassRecord* superRecord(const PluginClassDefinition& definition) {
  if (definition.superName == nullptr || *definition.superName == '\0') return nullptr;
  const String superName(definition.superName);
  ClassRecord* super = RuntimeLookupClass(superName.get());
  if (super == nullptr) {
    RuntimeReportFailure(kFailureKindCheck, kFailureUnknownClass, kSourceFile, __LINE__, "superClass",
                         definition.superName);
  }
  return super;
}

void createRecord(PluginClass& pluginClass) {
  PluginClassDefinition& definition = *pluginClass.definition;
  ClassRecord* super = superRecord(definition);
  const std::uint32_t inheritedMethods = super ? super->methodCount : 0;
  const std::uint32_t inheritedEvents = super ? super->eventCount : 0;
  const std::uint32_t inheritedProperties = super ? super->propertyCount : 0;
  ClassRecord* cls = RuntimeNewClass(
      super, inheritedMethods + static_cast<std::uint32_t>(definition.methodCount), 0,
      inheritedEvents + static_cast<std::uint32_t>(definition.eventCount), 0,
      inheritedProperties + static_cast<std::uint32_t>(definition.propertyCount));
  if (cls == nullptr) return;
  cls->name = utf8(pluginClass.name);

  // The plugin's data follows the base class's data; the system word tells
  // the plugin where.
  const std::intptr_t baseSize = super ? super->instanceSize : static_cast<std::intptr_t>(sizeof(RTObject));
  const std::uint32_t dataOffset = alignedSize(baseSize);
  definition.systemWord = dataOffset;
  cls->instanceSize = dataOffset + alignedSize(definition.dataSize);
  if (pluginClassOf(super) == nullptr) {
    cls->initializer = &constructPluginObject;
    cls->finalizer = &destroyPluginObject;
  }
  for (std::intptr_t i = 0; i < definition.methodCount; ++i) {
    const PluginMethod& method = definition.methods[i];
    cls->methods[inheritedMethods + i] = {method.function,
                                          utf8(std::string(declarationName(method.declaration)) + "%%")};
  }
  for (std::intptr_t i = 0; i < definition.propertyCount; ++i) {
    cls->properties[inheritedProperties + i] = propertyEntry(definition.properties[i], dataOffset);
  }
  pluginClass.firstEvent = inheritedEvents;
  pluginClass.record = cls;
}

ClassRecord* lookupPluginClass(RTString name) {
  const std::string_view wanted = text::bytes(name);
  for (const PluginClass& pluginClass : classes()) {
    if (pluginClass.record != nullptr && equalIgnoringCase(pluginClass.name, wanted)) {
      return pluginClass.record;
    }
  }
  for (const PluginInterface& interface : interfaces()) {
    if (equalIgnoringCase(interface.name, wanted)) return interface.record;
  }
  return nullptr;
}

}  // namespace

void recordPluginClass(PluginRecord* plugin, PluginClassDefinition* definition) {
  if (plugin == nullptr || definition == nullptr || definition->name == nullptr) {
    reportAssertion(kSourceFile, __LINE__, "gCurrentLoadingPlugin && definition");
    return;
  }
  const std::string name = definition->name;
  if (plugin->sdkVersion < kMinimumClassSdkVersion || isOneOf(name, kReservedNames)) return;
  classes().push_back({definition, plugin, name, isOneOf(name, kAutomationNames)});
}

void recordPluginInterface(PluginRecord* plugin, const PluginInterfaceDefinition* definition) {
  if (plugin == nullptr || definition == nullptr || definition->name == nullptr) {
    reportAssertion(kSourceFile, __LINE__, "gCurrentLoadingPlugin && definition");
    return;
  }
  const auto methodCount = definition->methods == nullptr
                               ? 0u
                               : static_cast<std::uint32_t>(std::max<std::intptr_t>(definition->methodCount, 0));
  ClassRecord* cls = RuntimeNewClass(nullptr, methodCount, 0, 0, 0, 0);
  if (cls == nullptr) return;
  cls->name = utf8(definition->name);
  cls->isInterface = 1;
  cls->instanceSize = sizeof(RTObject);
  // Implementing classes supply the code; the interface keeps the names.
  for (std::uint32_t i = 0; i < methodCount; ++i) {
    const std::string name(declarationName(definition->methods[i].declaration));
    cls->methods[i] = {nullptr, utf8(name + "%%")};
  }
  interfaces().push_back({definition->name, cls});
}

void createPluginClasses(const PluginRecord* plugin) {
  // Indexes, not iterators: creating a record may look classes up.
  for (std::size_t i = 0; i < classes().size(); ++i) {
    if (classes()[i].plugin == plugin && classes()[i].record == nullptr) createRecord(classes()[i]);
  }
}

const std::vector<PluginClass>& pluginClasses() { return classes(); }

void installPluginClassLookup() { objects::setExternalClassLookup(&lookupPluginClass); }

}  // namespace rt::host

extern "C" void* GetEventInstance(RTObject* object, PluginEvent* event) {
  if (object == nullptr || event == nullptr) return nullptr;
  for (const rt::host::PluginClass& pluginClass : rt::host::pluginClasses()) {
    const PluginClassDefinition& definition = *pluginClass.definition;
    // Events of different plugins live in unrelated arrays: compare as addresses.
    const std::less<const PluginEvent*> before;
    if (pluginClass.record == nullptr || before(event, definition.events) ||
        !before(event, definition.events + definition.eventCount)) {
      continue;
    }
    const auto number = pluginClass.firstEvent + static_cast<std::uint32_t>(event - definition.events);
    if (!RuntimeObjectIsa(object, pluginClass.record) || object->eventTable == nullptr ||
        number >= object->cls->eventCount) {
      return nullptr;
    }
    return object->eventTable[number].handler;
  }
  return nullptr;
}
