#include "text/CLocale.h"

namespace rt::text {

locale_t cLocale() {
  // Kept for the life of the process.
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return locale;
}

}  // namespace rt::text
