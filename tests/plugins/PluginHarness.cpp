#include "PluginHarness.h"

#include <dlfcn.h>

#include <stdexcept>

#include "host/IntrinsicTable.h"
#include "text/Encodings.h"
#include "text/StringApi.h"

namespace vantor::test {
namespace {

PluginRecord record;
intptr_t lastTaskId = 0;
bool fontEncodingOffered = true;

void registerVersion(intptr_t version) { record.version = version; }

void registerClass(PluginClassDefinition* definition) {
  definition->systemWord = kPluginDataOffset;
  record.classes.push_back(definition);
}

intptr_t registerTask(void (*task)(void*), intptr_t period, void* data) {
  record.tasks[++lastTaskId] = {task, period, data};
  return lastTaskId;
}

void unregisterTask(intptr_t id) { record.tasks.erase(id); }

void onDataAvailable(PluginObject object) { record.events[object].push_back("DataAvailable"); }
void onCompleted(PluginObject object) { record.events[object].push_back("Completed"); }

void* eventHandler(PluginObject, PluginEvent* event) {
  const std::string_view declaration = event->declaration;
  if (declaration == "DataAvailable()") return reinterpret_cast<void*>(&onDataAvailable);
  if (declaration == "Completed()") return reinterpret_cast<void*>(&onCompleted);
  return nullptr;
}

uint32_t fontEncoding(const char* fontName) {
  record.fontNamesAsked.emplace_back(fontName);
  return kEncodingSystem;
}

// Records the target, then converts with the runtime.
PluginString convertString(PluginString s, uint32_t encoding) {
  record.conversionTargets.push_back(encoding);
  void* runtimeConvert = rt::intrinsics::lookup("TOLVConvertString");
  return reinterpret_cast<ConvertStringFunction>(runtimeConvert)(s, encoding);
}

void* resolve(const char* name) {
  const std::map<std::string_view, void*> answeredHere{
      {"RegisterPluginVersion", reinterpret_cast<void*>(&registerVersion)},
      {"PluginRegisterClass", reinterpret_cast<void*>(&registerClass)},
      {"PluginRegisterBackgroundTask", reinterpret_cast<void*>(&registerTask)},
      {"PluginUnregisterBackgroundTask", reinterpret_cast<void*>(&unregisterTask)},
      {"GetEventInstance", reinterpret_cast<void*>(&eventHandler)},
      {"TOLVConvertString", reinterpret_cast<void*>(&convertString)},
      {"TOLVGetFontEncoding", fontEncodingOffered ? reinterpret_cast<void*>(&fontEncoding) : nullptr},
  };
  if (auto found = answeredHere.find(name); found != answeredHere.end()) return found->second;
  return rt::intrinsics::lookup(name);
}

PluginMainFunction pluginMain() {
  static const PluginMainFunction main = [] {
    void* library = dlopen(SHELL_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) throw std::runtime_error(dlerror());
    auto* function = reinterpret_cast<PluginMainFunction>(dlsym(library, "TOLVPluginMain"));
    if (function == nullptr) throw std::runtime_error(dlerror());
    return function;
  }();
  return main;
}

}  // namespace

void enterPlugin(bool offerFontEncoding) {
  record = PluginRecord{};
  fontEncodingOffered = offerFontEncoding;
  pluginMain()(&resolve);
}

PluginRecord& pluginRecord() { return record; }

PluginClassDefinition& pluginClass(std::string_view name) {
  for (PluginClassDefinition* definition : record.classes) {
    if (name == definition->name) return *definition;
  }
  throw std::out_of_range("class not registered");
}

FakeObject::FakeObject(PluginClassDefinition& definition)
    : definition_(definition),
      storage_(static_cast<std::size_t>(definition.systemWord + definition.dataSize)) {
  // A new object may sit where an earlier one was.
  record.events.erase(get());
  if (definition_.constructor != nullptr) definition_.constructor(get());
}

FakeObject::~FakeObject() {
  if (definition_.destructor != nullptr) definition_.destructor(get());
}

const unsigned char* FakeObject::field(intptr_t offset) const {
  return storage_.data() + definition_.systemWord + offset;
}

}  // namespace vantor::test
