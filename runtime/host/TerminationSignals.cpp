#include "host/TerminationSignals.h"

#include <csignal>
#include <cstdlib>
#include <initializer_list>

#include "host/Application.h"
#include "host/HostApi.h"
#include "host/ShutdownList.h"

namespace rt::host {

void installTerminationHandlers() {
  struct sigaction action {};
  action.sa_handler = &TerminationSignalHandler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;
  for (int signalNumber : {SIGTERM, SIGQUIT, SIGHUP}) sigaction(signalNumber, &action, nullptr);
}

}  // namespace rt::host

extern "C" void TerminationSignalHandler(int) {
  rt::host::releaseApplication();
  rt::host::destroyShutdownList();
  std::exit(0);
}
