#include "RuntimeCallbacks.h"

namespace vantor::shell {
namespace {

struct Callbacks {
  RegisterPluginVersionFunction registerPluginVersion = nullptr;
  PluginRegisterClassFunction registerClass = nullptr;
  PluginRegisterBackgroundTaskFunction registerBackgroundTask = nullptr;
  PluginUnregisterBackgroundTaskFunction unregisterBackgroundTask = nullptr;
  GetEventInstanceFunction getEventInstance = nullptr;
  BuildStringFunction buildString = nullptr;
  StringReferenceFunction lockString = nullptr;
  StringReferenceFunction unlockString = nullptr;
  StringGetCStringFunction getCString = nullptr;
  StringLengthFunction length = nullptr;
  ConvertStringFunction convertString = nullptr;
  // Asked once; a runtime without the font service leaves encoding word 0.
  uint32_t commandEncoding = 0;
};

Callbacks callbacks;

template <class Function>
Function resolve(PluginResolver resolver, const char* name) {
  return reinterpret_cast<Function>(resolver(name));
}

}  // namespace

void resolveCallbacks(PluginResolver resolver) {
  Callbacks resolved;
  resolved.registerPluginVersion =
      resolve<RegisterPluginVersionFunction>(resolver, "RegisterPluginVersion");
  resolved.registerClass = resolve<PluginRegisterClassFunction>(resolver, "PluginRegisterClass");
  resolved.registerBackgroundTask =
      resolve<PluginRegisterBackgroundTaskFunction>(resolver, "PluginRegisterBackgroundTask");
  resolved.unregisterBackgroundTask =
      resolve<PluginUnregisterBackgroundTaskFunction>(resolver, "PluginUnregisterBackgroundTask");
  resolved.getEventInstance = resolve<GetEventInstanceFunction>(resolver, "GetEventInstance");
  resolved.buildString = resolve<BuildStringFunction>(resolver, "TOLVBuildString");
  resolved.lockString = resolve<StringReferenceFunction>(resolver, "TOLVLockString");
  resolved.unlockString = resolve<StringReferenceFunction>(resolver, "TOLVUnlockString");
  resolved.getCString = resolve<StringGetCStringFunction>(resolver, "StringGetCString");
  resolved.length = resolve<StringLengthFunction>(resolver, "TOLVStringLength");
  resolved.convertString = resolve<ConvertStringFunction>(resolver, "TOLVConvertString");
  if (auto fontEncoding = resolve<GetFontEncodingFunction>(resolver, "TOLVGetFontEncoding")) {
    resolved.commandEncoding = fontEncoding("System");
  }
  callbacks = resolved;
}

void registerPluginVersion(intptr_t version) {
  if (callbacks.registerPluginVersion != nullptr) callbacks.registerPluginVersion(version);
}

void registerClass(PluginClassDefinition* definition) {
  if (callbacks.registerClass != nullptr) callbacks.registerClass(definition);
}

intptr_t registerBackgroundTask(void (*task)(void* data), intptr_t period, void* data) {
  if (callbacks.registerBackgroundTask == nullptr) return 0;
  return callbacks.registerBackgroundTask(task, period, data);
}

void unregisterBackgroundTask(intptr_t id) {
  if (callbacks.unregisterBackgroundTask != nullptr) callbacks.unregisterBackgroundTask(id);
}

void raiseEvent(PluginObject object, PluginEvent* event) {
  if (callbacks.getEventInstance == nullptr) return;
  if (void* handler = callbacks.getEventInstance(object, event)) {
    reinterpret_cast<void (*)(PluginObject)>(handler)(object);
  }
}

PluginString buildString(const void* bytes, std::size_t length) {
  if (callbacks.buildString == nullptr || length == 0) return nullptr;
  return callbacks.buildString(bytes, static_cast<uint32_t>(length));
}

void lockString(PluginString s) {
  if (callbacks.lockString != nullptr && s != nullptr) callbacks.lockString(s);
}

void unlockString(PluginString s) {
  if (callbacks.unlockString != nullptr && s != nullptr) callbacks.unlockString(s);
}

// Without the length callback the text ends at its first zero byte.
std::string stringBytes(PluginString s) {
  if (s == nullptr || callbacks.getCString == nullptr) return {};
  if (callbacks.length == nullptr) return callbacks.getCString(s);
  return std::string(callbacks.getCString(s), callbacks.length(s));
}

std::string commandLineBytes(PluginString s) {
  if (s == nullptr || callbacks.getCString == nullptr) return {};
  PluginString converted = s;
  if (callbacks.convertString != nullptr) {
    converted = callbacks.convertString(s, callbacks.commandEncoding);
  } else {
    lockString(converted);
  }
  std::string bytes = converted != nullptr ? callbacks.getCString(converted) : "";
  unlockString(converted);
  return bytes;
}

}  // namespace vantor::shell
