#include "classlib/VariantCompare.h"

#include <cmath>

#include "classlib/BoxedValues.h"
#include "numbers/DateApi.h"
#include "text/StringCompare.h"

namespace rt::classlib {
namespace {

template <class T>
std::int32_t order(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

std::int32_t compareNumbers(long double a, long double b) {
  const bool aNaN = std::isnan(a);
  const bool bNaN = std::isnan(b);
  if (aNaN || bNaN) return order(!aNaN, !bNaN);
  return order(a, b);
}

}  // namespace

std::int32_t compareVariants(RTObject* a, RTObject* b) {
  if (a == b) return 0;
  const VariantKind kind = kindOf(a);
  if (const VariantKind other = kindOf(b); kind != other) return order(kind, other);
  switch (kind) {
    case VariantKind::kNumber:
      return compareNumbers(*numberOf(a), *numberOf(b));
    case VariantKind::kBoolean:
      return order(booleanOf(a), booleanOf(b));
    case VariantKind::kColor:
      return order(colorOf(a), colorOf(b));
    case VariantKind::kString:
      return order(RuntimeStringCompare(stringOf(a), stringOf(b)), 0);
    case VariantKind::kDate:
      return DateCompare(a, b);
    case VariantKind::kNil:
    case VariantKind::kObject:
      break;
  }
  return order(reinterpret_cast<std::uintptr_t>(a), reinterpret_cast<std::uintptr_t>(b));
}

}  // namespace rt::classlib
