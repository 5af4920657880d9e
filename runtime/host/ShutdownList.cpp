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

// The head is unlinked before it is deleted: a termination signal arriving
// during the deletion destroys the rest of the list, not that object again.
void destroyShutdownList() {
  while (ShutdownObject* object = head) {
    head = object->next_;
    delete object;
  }
}

}  // namespace rt::host
