// Plays the runtime's part for a plugin library under test: loads it with
// dlopen, answers its bookkeeping callbacks itself and its string callbacks
// from the runtime's intrinsic table.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "PluginSdk.h"

namespace vantor::test {

struct RecordedTask {
  void (*task)(void* data);
  intptr_t period;
  void* data;
};

// What the plugin told the harness, and what it asked of it.
struct PluginRecord {
  intptr_t version = 0;
  std::vector<PluginClassDefinition*> classes;
  std::map<intptr_t, RecordedTask> tasks;
  std::map<PluginObject, std::vector<std::string>> events;
  std::vector<std::string> fontNamesAsked;
  std::vector<uint32_t> conversionTargets;
};

// Where the harness places plugin data inside its fake objects.
constexpr intptr_t kPluginDataOffset = 32;

// Loads the library on first use and calls its main function, with or
// without the font encoding service; the record starts afresh each time.
void enterPlugin(bool offerFontEncoding = true);
PluginRecord& pluginRecord();
PluginClassDefinition& pluginClass(std::string_view name);

// A zeroed object of a plugin class, constructed and destroyed with it.
class FakeObject {
 public:
  explicit FakeObject(PluginClassDefinition& definition);
  ~FakeObject();
  FakeObject(const FakeObject&) = delete;
  FakeObject& operator=(const FakeObject&) = delete;

  PluginObject get() { return storage_.data(); }
  // The plugin data bytes at a field offset.
  const unsigned char* field(intptr_t offset) const;

 private:
  PluginClassDefinition& definition_;
  std::vector<unsigned char> storage_;
};

}  // namespace vantor::test
