#include "host/ShutdownList.h"

namespace rt::host {
namespace {

ShutdownObject* head = nullptr;

}  // namespace

ShutdownObject::ShutdownObject() : next_(head) { head = this; }

ShutdownObject::~ShutdownObject() {
  for (ShutdownObject** link = &head; *link != nullptr; link = &(*link)->next_) {
    if (*link == this) {
      *link = next_;
      return;
    }
  }
}

void destroyShutdownList() {
  while (head != nullptr) delete head;
}

}  // namespace rt::host
