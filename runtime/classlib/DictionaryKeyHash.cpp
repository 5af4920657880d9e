#include "classlib/DictionaryKeyHash.h"

#include <string_view>
#include <unordered_map>

#include "classlib/KeyFold.h"
#include "console/CompiledCall.h"
#include "numbers/DateApi.h"
#include "numbers/DateObject.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionClasses.h"
#include "text/StringStorage.h"

namespace rt::classlib {
namespace {

using HashMethod = std::int32_t (*)(RTObject*);

constexpr std::string_view kHashSignaturePrefix = "Operator_Hash%i4%o<";

// The class's hash method or null, searched for once per class: class records
// live as long as the process.
HashMethod hashMethodOf(const ClassRecord* cls) {
  static std::unordered_map<const ClassRecord*, HashMethod> cache;
  auto [found, added] = cache.try_emplace(cls, nullptr);
  if (added) {
    for (std::uint32_t i = 0; i < cls->methodCount; ++i) {
      if (text::bytes(cls->methods[i].signature).starts_with(kHashSignaturePrefix)) {
        found->second = reinterpret_cast<HashMethod>(cls->methods[i].code);
        break;
      }
    }
  }
  return found->second;
}

}  // namespace

std::optional<std::uint32_t> hashOfKey(RTObject* key) {
  if (key == nullptr) return 0;
  if (HashMethod method = hashMethodOf(key->cls)) {
    // The method may be compiled code, which throws its exceptions.
    std::int32_t hash = 0;
    if (!console::callCompiled([&] { hash = method(key); })) return std::nullopt;
    if (exceptions::pending() != nullptr) return std::nullopt;
    return static_cast<std::uint32_t>(hash);
  }
  if (RuntimeObjectIsa(key, objects::classFor(dates::dateClass))) {
    return foldDouble(dateTotalSecondsGetter(key));
  }
  return foldAddress(key);
}

}  // namespace rt::classlib
