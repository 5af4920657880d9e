#include "classlib/MemoryBlockAccess.h"

#include "objects/ExceptionApi.h"

namespace rt::classlib {

unsigned char* reach(RTObject* block, std::int64_t offset, std::int64_t n) {
  if (block == nullptr) {
    RaiseNilObjectException();
    return nullptr;
  }
  MemoryBlockObject& b = blockOf(block);
  const bool refused =
      n < 0 || b.data == nullptr || (b.owned && (offset < 0 || offset + n > b.size));
  if (refused) {
    RaiseOutOfBoundsException();
    return nullptr;
  }
  return b.data + offset;
}

}  // namespace rt::classlib
