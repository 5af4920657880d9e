#include "files/Checked.h"

#include "objects/ExceptionApi.h"

namespace rt::files {

void requireObject(const Object& object) {
  if (object) return;
  RaiseNilObjectException();
  throwIfPending();
}

}  // namespace rt::files
