// One counted handle for the runtime's reference-counted blocks (strings,
// objects, arrays), chosen by a traits struct with lock and unlock.
//
// Ownership: constructing from a raw pointer takes a new reference (the callee
// keeps it); adopt() takes over a +1 result, which every runtime function
// returning a reference hands out; leak() gives a reference back to C; a moved
// handle is null.
#pragma once

#include <cstddef>
#include <utility>

namespace rt {

template <class T, class Traits>
class Ref {
 public:
  Ref() = default;
  Ref(std::nullptr_t) {}
  explicit Ref(T* borrowed) : pointer_(borrowed) { Traits::lock(pointer_); }
  Ref(const Ref& other) : pointer_(other.pointer_) { Traits::lock(pointer_); }
  Ref(Ref&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ~Ref() { Traits::unlock(pointer_); }

  Ref& operator=(Ref other) noexcept {
    std::swap(pointer_, other.pointer_);
    return *this;
  }

  [[nodiscard]] static Ref adopt(T* owned) {
    Ref ref;
    ref.pointer_ = owned;
    return ref;
  }

  [[nodiscard]] T* leak() { return std::exchange(pointer_, nullptr); }
  T* get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  friend bool operator==(const Ref& a, const Ref& b) { return a.pointer_ == b.pointer_; }

 private:
  T* pointer_ = nullptr;
};

}  // namespace rt
