#include "host/IntrinsicTable.h"

#include <memory>
#include <string>
#include <strings.h>
#include <unordered_map>
#include <vector>

#include "host/FailureReport.h"

namespace rt::intrinsics {
namespace {

struct Table {
  std::vector<IntrinsicEntry> staticEntries;
  std::vector<std::unique_ptr<IntrinsicEntry>> dynamicEntries;
  std::unordered_map<std::string_view, const IntrinsicEntry*> byName;
  std::vector<std::unique_ptr<std::string>> registeredNames;
};

Table build() {
  Table table;
  for (auto fragment : {textFunctions(), objectFunctions(), arrayFunctions(), numberFunctions(),
                        dateFunctions(), fileFunctions(), consoleFunctions(), hostFunctions(),
                        classlibFunctions()}) {
    table.staticEntries.insert(table.staticEntries.end(), fragment.begin(), fragment.end());
  }
  for (const IntrinsicEntry& entry : table.staticEntries) table.byName.try_emplace(entry.name, &entry);
  return table;
}

Table& table() {
  static Table t = build();
  return t;
}

}  // namespace

std::size_t staticCount() { return table().staticEntries.size(); }

std::size_t count() { return table().staticEntries.size() + table().dynamicEntries.size(); }

const IntrinsicEntry& at(std::size_t index) {
  Table& t = table();
  if (index < t.staticEntries.size()) return t.staticEntries[index];
  return *t.dynamicEntries[index - t.staticEntries.size()];
}

void* lookup(std::string_view name) {
  const auto& byName = table().byName;
  auto found = byName.find(name);
  return found == byName.end() ? nullptr : found->second->entryPoint;
}

const IntrinsicEntry* findIgnoringCase(const char* name) {
  for (std::size_t i = 0, n = count(); i < n; ++i) {
    const IntrinsicEntry& entry = at(i);
    if (entry.name != nullptr && strcasecmp(entry.name, name) == 0) return &entry;
  }
  return nullptr;
}

void registerFunction(const char* name, void* entryPoint) {
  Table& t = table();
  if (auto existing = t.byName.find(name); existing != t.byName.end()) {
    if (existing->second->entryPoint != entryPoint) {
      reportAssertion("../Common/relocentry", __LINE__, "functionPtr == oldEntry->code");
    }
    return;
  }
  const std::string& ownName = *t.registeredNames.emplace_back(std::make_unique<std::string>(name));
  auto& entry = t.dynamicEntries.emplace_back(
      std::make_unique<IntrinsicEntry>(IntrinsicEntry{ownName.c_str(), entryPoint, {0, 0}}));
  t.byName.emplace(ownName, entry.get());
}

}  // namespace rt::intrinsics
