// Objects that implement _Pollable, registered with the application: each is
// polled as a background task of event processing.
#pragma once

#include <cstddef>

namespace rt::console {

// Number of registered pollable objects.
std::size_t pollableCount();

}  // namespace rt::console
