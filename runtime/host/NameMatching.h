// Member names as the language compares them: ignoring ASCII case.
#pragma once

#include <strings.h>

#include <string_view>

namespace rt::host {

inline bool equalIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// The name a declaration starts with ("Twice" of "Twice(x as Integer)").
inline std::string_view declarationName(const char* declaration) {
  std::string_view text = declaration != nullptr ? declaration : "";
  const std::size_t start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return {};
  text.remove_prefix(start);
  return text.substr(0, text.find_first_of("( "));
}

// The name of a method-table signature ("Twice" of "Twice%i4%o<Gadget>i4");
// empty for the entries that implement events ("#Run%...").
inline std::string_view signatureName(std::string_view signature) {
  if (signature.starts_with('#')) return {};
  return signature.substr(0, signature.find('%'));
}

}  // namespace rt::host
