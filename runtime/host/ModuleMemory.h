// Where a loaded module's code and data live.
//
// One mapping holds the code, then the call thunks, then the data, each on
// pages of its own. On x86-64 the mapping lies below 2 GiB (MAP_32BIT), so the
// 32-bit fields that compiled code keeps addresses in can hold any address of
// its code and data; its calls into the runtime, which lies far above, go
// through a thunk after the code that jumps to the 64-bit entry point. On
// x86-32 every address fits and calls reach their targets directly.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <unordered_map>

namespace rt::host {

class ModuleMemory {
 public:
  // Copies of code and data, with room for thunkCount thunks; null (after a
  // failure report) when no such mapping can be made.
  static std::unique_ptr<ModuleMemory> place(std::span<const std::uint8_t> code,
                                             std::span<const std::uint8_t> data, std::size_t thunkCount);
  ~ModuleMemory();
  ModuleMemory(const ModuleMemory&) = delete;
  ModuleMemory& operator=(const ModuleMemory&) = delete;

  std::span<std::uint8_t> code() const { return code_; }
  std::span<std::uint8_t> data() const { return data_; }
  std::uintptr_t codeBase() const { return reinterpret_cast<std::uintptr_t>(code_.data()); }
  std::uintptr_t dataBase() const { return reinterpret_cast<std::uintptr_t>(data_.data()); }

  // The address the module's code calls to reach entry: its thunk (one per
  // entry point) on x86-64, entry itself on x86-32. Null when the room for
  // thunks is used up.
  std::uintptr_t callTarget(void* entry);

  using Protect = int (*)(void*, std::size_t, int);
  // Makes the code and the thunks executable and read-only. A failure is
  // printed ("Loader failed to protect memory, error #%d") and loading goes on.
  void protect(Protect protectFunction = &mprotect);

 private:
  ModuleMemory(std::uint8_t* mapping, std::size_t mappingLength, std::size_t codeLength,
               std::size_t thunksAt, std::size_t thunkCount, std::size_t dataAt, std::size_t dataLength);

  std::uint8_t* mapping_;
  std::size_t mappingLength_;
  std::span<std::uint8_t> code_;
  std::span<std::uint8_t> thunks_;
  std::span<std::uint8_t> data_;
  std::size_t thunksUsed_ = 0;
  std::unordered_map<void*, std::uintptr_t> thunkOf_;
};

}  // namespace rt::host
