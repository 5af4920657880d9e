// The "C" locale as an object, so that number reading and byte case folding
// do not depend on the locale the process happens to run in.
#pragma once

#include <locale.h>

namespace rt::text {

locale_t cLocale();

}  // namespace rt::text
