// SIGTERM, SIGQUIT and SIGHUP end the process at once with status 0.
#pragma once

namespace rt::host {

void installTerminationHandlers();

}  // namespace rt::host
