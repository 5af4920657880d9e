// A plugin for the host tests that registers one of every kind of record (a
// class, a control, a class extension, a module, a global method, an
// interface, exported functions) and whose CallbackTools.Exercise() drives
// the runtime's callbacks as a plugin reaches them: by name, through the
// resolver. Every result is printed as one "name=value" line.
#include <cinttypes>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

#include "plugins/sdk/PluginSdk.h"

namespace {

PluginResolver resolve = nullptr;

template <class Function>
Function callback(const char* name) {
  return reinterpret_cast<Function>(resolve(name));
}

using NewInstance = PluginObject (*)(const char*);
using NewOfSameClass = PluginObject (*)(PluginObject);
using ObjectReference = void (*)(PluginObject);
using LoadGlobalMethod = void* (*)(const char*, const char*);
using LoadObjectMethod = void* (*)(PluginObject, const char*);
template <class Value>
using GetProp = uint8_t (*)(PluginObject, const char*, Value*);
template <class Value>
using SetProp = uint8_t (*)(PluginObject, const char*, Value);
using LookupClass = void* (*)(PluginString);
using CountMembers = int32_t (*)(void*);
using GetClassMethod = uint8_t (*)(void*, int32_t, void**, PluginString*);
using GetClassProperty = uint8_t (*)(void*, int32_t, PluginString*, void**, void**, intptr_t*);
using NoArguments = void (*)();
using Address = uintptr_t (*)();
using Version = intptr_t (*)();
using IntegerMethod = intptr_t (*)(PluginObject, intptr_t);
using ExportsFunction = void (*)(const PluginExport*, intptr_t);

struct WidgetData {
  int32_t count;
  uint32_t tint;
  int64_t big;
  double ratio;
  float scale;
  uint8_t flag;
  PluginString label;
  PluginObject link;
};

PluginClassDefinition widget{};
PluginClassDefinition control{};
int yields = 0;

WidgetData& data(PluginObject object) {
  return *reinterpret_cast<WidgetData*>(static_cast<char*>(object) + widget.systemWord);
}

void print(const char* name, long long value) {
  std::printf("%s=%lld\n", name, value);
  std::fflush(stdout);
}

std::string text(PluginString s) {
  const char* bytes = callback<StringGetCStringFunction>("StringGetCString")(s);
  return bytes != nullptr ? bytes : "";
}

PluginString build(const char* bytes) {
  return callback<BuildStringFunction>("TOLVBuildString")(
      bytes, static_cast<uint32_t>(std::strlen(bytes)));
}

void unlockString(PluginString s) { callback<StringReferenceFunction>("TOLVUnlockString")(s); }

void unlockObject(PluginObject object) { callback<ObjectReference>("TOLVUnlockObject")(object); }

void construct(PluginObject object) { data(object).count = 7; }

void destroy(PluginObject object) {
  unlockString(data(object).label);
  unlockObject(data(object).link);
}

intptr_t twice(PluginObject, intptr_t x) { return 2 * x; }
intptr_t triple(intptr_t x) { return 3 * x; }
intptr_t quadruple(intptr_t x) { return 4 * x; }
intptr_t press(PluginObject) { return 99; }
intptr_t answer(intptr_t) { return 42; }
void exported() {}

// A computed property: Doubled reads and writes twice the count.
int32_t getDoubled(PluginObject object, intptr_t) { return 2 * data(object).count; }
void setDoubled(PluginObject object, intptr_t, int32_t value) { data(object).count = value / 2; }

PluginString describe(PluginObject object) {
  const std::string description = "widget " + std::to_string(data(object).count);
  return build(description.c_str());
}

PluginString summary(PluginObject object, intptr_t) { return describe(object); }

void countYield(void*) {
  ++yields;
  // Yielding from inside a pass must not start another pass.
  callback<NoArguments>("TOLVYieldToZK")();
}

void exerciseObjects(PluginObject object) {
  print("new unknown class", callback<NewInstance>("PluginNewInstance")("NoSuchClass") != nullptr);
  PluginObject copy = callback<NewOfSameClass>("PluginNewOfSameClass")(object);
  print("same class count", data(copy).count);
  print("same class of nil", callback<NewOfSameClass>("PluginNewOfSameClass")(nullptr) != nullptr);

  auto loadObjectMethod = callback<LoadObjectMethod>("TOLVLoadObjectMethod");
  auto twiceFound =
      reinterpret_cast<IntegerMethod>(loadObjectMethod(copy, "Twice(x as Integer) as Integer"));
  print("object method twice", twiceFound != nullptr ? twiceFound(copy, 21) : -1);
  print("object method by name",
        loadObjectMethod(object, "  twice") == reinterpret_cast<void*>(&twice));
  print("extension method",
        loadObjectMethod(object, "Describe") == reinterpret_cast<void*>(&describe));
  print("unimplemented method", loadObjectMethod(object, "Missing") != nullptr);
  print("unknown method", loadObjectMethod(object, "Nothing()") != nullptr);

  auto loadGlobalMethod = callback<LoadGlobalMethod>("TOLVLoadGlobalMethod");
  auto tripleFound = reinterpret_cast<intptr_t (*)(intptr_t)>(
      loadGlobalMethod("callbacktools", "Triple(x As Integer)"));
  print("module method", tripleFound != nullptr ? tripleFound(21) : -1);
  auto quadrupleFound =
      reinterpret_cast<intptr_t (*)(intptr_t)>(loadGlobalMethod(nullptr, "Quadruple"));
  print("global method", quadrupleFound != nullptr ? quadrupleFound(21) : -1);
  print("method of unknown module", loadGlobalMethod("NoModule", "Triple") != nullptr);
  unlockObject(copy);
}

// Sets the property, reads it back and prints both results; returns what was read.
template <class Value>
Value roundTrip(PluginObject object, const char* type, const char* name, Value value) {
  const std::string setter = "TOLVSetPropValue" + std::string(type);
  const std::string getter = "TOLVGetPropValue" + std::string(type);
  Value read{};
  const uint8_t set = callback<SetProp<Value>>(setter.c_str())(object, name, value);
  const uint8_t got = callback<GetProp<Value>>(getter.c_str())(object, name, &read);
  std::printf("%s %s set=%d get=%d ", type, name, set, got);
  return read;
}

void exerciseProperties(PluginObject object) {
  std::printf("value=%d\n", roundTrip<int32_t>(object, "Int", "count", 41));
  std::printf("value=%" PRId64 "\n",
              roundTrip<int64_t>(object, "Int64", "Big", (int64_t{1} << 40) + 3));
  const uint8_t flag = roundTrip<uint8_t>(object, "Boolean", "Flag", 1);
  std::printf("value=%d stored=%d\n", flag, data(object).flag);
  std::printf("value=%g\n", roundTrip<double>(object, "Double", "Ratio", 2.5));
  std::printf("value=%g\n", roundTrip<float>(object, "Single", "Scale", 0.25f));
  std::printf("value=%06x\n", roundTrip<uint32_t>(object, "Color", "Tint", 0xFF8040u));
  PluginString label = build("label text");
  PluginString labelRead = roundTrip<PluginString>(object, "String", "Label", label);
  std::printf("value=%s\n", text(labelRead).c_str());
  unlockString(label);
  unlockString(labelRead);
  PluginObject linked = roundTrip<PluginObject>(object, "Object", "Link", object);
  std::printf("value is self=%d\n", linked == object);
  unlockObject(linked);
  // Not kept: the object would hold itself and never be released.
  callback<SetProp<PluginObject>>("TOLVSetPropValueObject")(object, "Link", nullptr);

  const int32_t doubled = roundTrip<int32_t>(object, "Int", "Doubled", 10);
  std::printf("value=%d count=%d\n", doubled, data(object).count);
  PluginString summaryRead = nullptr;
  const uint8_t summaryGot =
      callback<GetProp<PluginString>>("TOLVGetPropValueString")(object, "Summary", &summaryRead);
  std::printf("extension property got=%d value=%s\n", summaryGot, text(summaryRead).c_str());
  unlockString(summaryRead);

  PluginString wrongType = nullptr;
  int32_t integer = 0;
  print("string of integer field",
        callback<GetProp<PluginString>>("TOLVGetPropValueString")(object, "Count", &wrongType));
  print("double into integer field",
        callback<SetProp<double>>("TOLVSetPropValueDouble")(object, "Count", 1.0));
  print("unknown property",
        callback<GetProp<int32_t>>("TOLVGetPropValueInt")(object, "Nothing", &integer));
  print("property of nil",
        callback<GetProp<int32_t>>("TOLVGetPropValueInt")(nullptr, "Count", &integer));
}

void listClass(const char* name) {
  PluginString className = build(name);
  void* cls = callback<LookupClass>("RuntimeLookupClass")(className);
  unlockString(className);
  const int32_t methods = callback<CountMembers>("TOLVCountClassMethods")(cls);
  const int32_t properties = callback<CountMembers>("TOLVCountClassProperties")(cls);
  std::printf("%s methods=%d properties=%d:", name, methods, properties);
  for (int32_t i = 0; i < methods; ++i) {
    PluginString signature = nullptr;
    void* code = nullptr;
    callback<GetClassMethod>("TOLVGetClassMethod")(cls, i, &code, &signature);
    std::printf(" %s", text(signature).c_str());
    unlockString(signature);
  }
  for (int32_t i = 0; i < properties; ++i) {
    PluginString propertyName = nullptr;
    intptr_t parameter = 0;
    callback<GetClassProperty>("TOLVGetClassProperty")(cls, i, &propertyName, nullptr, nullptr,
                                                       &parameter);
    std::printf(" %s", text(propertyName).c_str());
    unlockString(propertyName);
  }
  std::printf(" past end=%d\n",
              callback<GetClassMethod>("TOLVGetClassMethod")(cls, methods, nullptr, nullptr));
}

void exerciseServices() {
  const int before = yields;
  callback<NoArguments>("TOLVYieldToZK")();
  print("yield passes", yields - before);
  const uintptr_t top = callback<Address>("TOLVGetStackTop")();
  const uintptr_t limit = callback<Address>("TOLVGetStackLimit")();
  print("stack budget", static_cast<long long>(top - limit));
  print("runtime version", callback<Version>("TOLVGetRuntimeVersion")());
  print("export resolves", resolve("CallbackPluginExport") == reinterpret_cast<void*>(&exported));
}

void exercise() {
  PluginObject object = callback<NewInstance>("PluginNewInstance")("callbackwidget");
  print("new instance count", object != nullptr ? data(object).count : -1);
  if (object == nullptr) return;
  exerciseObjects(object);
  exerciseProperties(object);
  listClass("CallbackWidget");
  listClass("CallbackShape");
  exerciseServices();
  unlockObject(object);
}

PluginProperty property(const char* name, const char* type, void* getter, void* setter,
                        std::size_t parameter = 0) {
  return {"", name, type, 0, getter, setter, static_cast<intptr_t>(parameter), {}};
}

// A property the runtime reads and writes in the widget's data.
PluginProperty field(const char* name, const char* type, std::size_t offset) {
  return property(name, type, kPluginFieldAccess, kPluginFieldAccess, offset);
}

PluginProperty widgetProperties[] = {
    field("Count", "Integer", offsetof(WidgetData, count)),
    field("Tint", "Color", offsetof(WidgetData, tint)),
    field("Big", "Int64", offsetof(WidgetData, big)),
    field("Ratio", "Double", offsetof(WidgetData, ratio)),
    field("Scale", "Single", offsetof(WidgetData, scale)),
    field("Flag", "Boolean", offsetof(WidgetData, flag)),
    field("Label", "String", offsetof(WidgetData, label)),
    field("Link", "CallbackWidget", offsetof(WidgetData, link)),
    property("Doubled", "Integer", reinterpret_cast<void*>(&getDoubled),
             reinterpret_cast<void*>(&setDoubled)),
};
PluginMethod widgetMethods[] = {
    {reinterpret_cast<void*>(&twice), 0, "Twice(x as Integer) as Integer", 4},
    {nullptr, 0, "Missing()", 4},  // filled with the no-implementation marker
};
PluginMethod controlMethods[] = {{reinterpret_cast<void*>(&press), 0, "Press() as Integer", 4}};
PluginMethod extensionMethods[] = {
    {reinterpret_cast<void*>(&describe), 0, "Describe() as String", 4}};
PluginProperty extensionProperties[] = {
    property("Summary", "String", reinterpret_cast<void*>(&summary), nullptr)};
PluginClassExtensionDefinition extension{1, "CallbackWidget",    extensionMethods,
                                         1, extensionProperties, 1};
PluginMethod moduleMethods[] = {
    {reinterpret_cast<void*>(&triple), 0, "Triple(x as Integer) as Integer", 4},
    {reinterpret_cast<void*>(&exercise), 0, "Exercise()", 4},
};
PluginProperty moduleProperties[] = {
    property("Answer", "Integer", reinterpret_cast<void*>(&answer), nullptr)};
PluginModuleDefinition module{1, "CallbackTools", moduleMethods, 2, moduleProperties, 1, nullptr,
                              0};
PluginMethod globalMethod{reinterpret_cast<void*>(&quadruple), 0,
                          "Quadruple(x as Integer) as Integer", 4};
PluginMethod shapeMethods[] = {{nullptr, 0, "Area() as Double", 4}};
PluginInterfaceDefinition shape{1, "CallbackShape", shapeMethods, 1};
PluginExport exports[] = {{"CallbackPluginExport", reinterpret_cast<void*>(&exported)}};

}  // namespace

extern "C" void TOLVPluginMain(PluginResolver resolver) {
  resolve = resolver;
  widgetMethods[1].function = resolve("TOLVnoImplementation");
  widget = {9,        "CallbackWidget", nullptr, sizeof(WidgetData),     0, &construct,
            &destroy, widgetProperties, 9,       widgetMethods,          2, nullptr,
            0,        nullptr,          0,       kPluginClassConsoleSafe};
  control = {9, "CallbackControl", nullptr, 0,       0, nullptr, nullptr, nullptr,
             0, controlMethods,    1,       nullptr, 0, nullptr, 0,       0};
  callback<RegisterPluginVersionFunction>("RegisterPluginVersion")(9);
  callback<PluginRegisterClassFunction>("PluginRegisterClass")(&widget);
  callback<PluginRegisterClassFunction>("PluginRegisterControl")(&control);
  callback<void (*)(PluginClassExtensionDefinition*)>("PluginRegisterClassExtension")(&extension);
  callback<void (*)(PluginModuleDefinition*)>("PluginRegisterModule")(&module);
  callback<void (*)(PluginMethod*)>("PluginRegisterMethod")(&globalMethod);
  callback<void (*)(PluginInterfaceDefinition*)>("PluginRegisterInterface")(&shape);
  callback<ExportsFunction>("RegisterPluginExports")(exports, 1);
  callback<PluginRegisterBackgroundTaskFunction>("PluginRegisterBackgroundTask")(&countYield, 0,
                                                                                 nullptr);
}
