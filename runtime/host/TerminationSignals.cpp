#include "host/TerminationSignals.h"

#include <csignal>
#include <initializer_list>
#include <unistd.h>

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
  // The mask leaves the other two signals open: one arriving while this
  // handler runs leaves the shutdown to it.
  static volatile sig_atomic_t ending = 0;
  if (ending) return;
  ending = 1;
  rt::host::releaseApplication();
  rt::host::destroyShutdownList();
  // Not exit(): its stdio flush could repeat output that the interrupted code
  // had written but not yet marked as flushed. Every console write is flushed
  // as it is made, so nothing is lost.
  _exit(0);
}
