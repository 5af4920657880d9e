#include "host/FileSizeSignal.h"

#include <csignal>

namespace rt::host {
namespace {

void ignoreFileSizeSignal(int) {}

}  // namespace

void installFileSizeSignalHandler() {
  struct sigaction action {};
  action.sa_handler = &ignoreFileSizeSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGXFSZ, &action, nullptr);
}

}  // namespace rt::host
