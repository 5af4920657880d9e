// The key loaded into the module globals, in the form the cipher engine takes.
#pragma once

#include <memory>

#include "cipher/Cipher.h"

namespace vantor::app {

cipher::Key loadedKey();
std::unique_ptr<cipher::Schedule> loadedSchedule();

}  // namespace vantor::app
