#include "host/ModuleMemory.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "host/FailureReport.h"

namespace rt::host {
namespace {

constexpr const char* kSourceFile = "../Common/loaderX86";

#if defined(__x86_64__)
// jmp *0(%rip), then the 64-bit entry point; padded with int3.
constexpr std::uint8_t kThunkJump[] = {0xFF, 0x25, 0, 0, 0, 0};
constexpr std::size_t kThunkSize = 16;
constexpr int kLowMapping = MAP_32BIT;
constexpr std::uintptr_t kAddressLimit = std::uintptr_t{1} << 31;
#elif defined(__i386__)
constexpr std::size_t kThunkSize = 0;
constexpr int kLowMapping = 0;
#else
#error "Module images carry x86 code: build for x86-64 or x86-32"
#endif

std::size_t pageRounded(std::size_t length) {
  const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  return (length + page - 1) / page * page;
}

}  // namespace

std::unique_ptr<ModuleMemory> ModuleMemory::place(std::span<const std::uint8_t> code,
                                                  std::span<const std::uint8_t> data, std::size_t thunkCount) {
  const std::size_t thunksAt = pageRounded(code.size());
  const std::size_t dataAt = thunksAt + pageRounded(thunkCount * kThunkSize);
  const std::size_t length = dataAt + pageRounded(data.size());
  void* mapping = MAP_FAILED;
  if (length != 0) {
    // An anonymous mapping takes no file: its descriptor is -1.
    // cppcheck-suppress invalidFunctionArg
    mapping = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | kLowMapping, -1, 0);
  }
  bool placed = mapping != MAP_FAILED;
#if defined(__x86_64__)
  if (placed && reinterpret_cast<std::uintptr_t>(mapping) + length > kAddressLimit) {
    munmap(mapping, length);
    placed = false;
  }
#endif
  if (!placed) {
    const std::string detail = "Cannot map " + std::to_string(length) +
                               " bytes for the module's code and data" +
                               (kLowMapping != 0 ? " below 2 GiB" : "");
    reportAssertion(kSourceFile, __LINE__, "codeBase", detail.c_str());
    return nullptr;
  }
  auto* bytes = static_cast<std::uint8_t*>(mapping);
  if (!code.empty()) std::memcpy(bytes, code.data(), code.size());
  if (!data.empty()) std::memcpy(bytes + dataAt, data.data(), data.size());
  return std::unique_ptr<ModuleMemory>(
      new ModuleMemory(bytes, length, code.size(), thunksAt, thunkCount, dataAt, data.size()));
}

ModuleMemory::ModuleMemory(std::uint8_t* mapping, std::size_t mappingLength, std::size_t codeLength,
                           std::size_t thunksAt, std::size_t thunkCount, std::size_t dataAt,
                           std::size_t dataLength)
    : mapping_(mapping),
      mappingLength_(mappingLength),
      code_(mapping, codeLength),
      thunks_(mapping + thunksAt, thunkCount * kThunkSize),
      data_(mapping + dataAt, dataLength) {}

ModuleMemory::~ModuleMemory() { munmap(mapping_, mappingLength_); }

std::uintptr_t ModuleMemory::callTarget(void* entry) {
#if defined(__x86_64__)
  if (auto known = thunkOf_.find(entry); known != thunkOf_.end()) return known->second;
  if ((thunksUsed_ + 1) * kThunkSize > thunks_.size()) return 0;
  std::uint8_t* thunk = thunks_.data() + thunksUsed_++ * kThunkSize;
  std::memset(thunk, 0xCC, kThunkSize);
  std::memcpy(thunk, kThunkJump, sizeof kThunkJump);
  std::memcpy(thunk + sizeof kThunkJump, &entry, sizeof entry);
  const auto address = reinterpret_cast<std::uintptr_t>(thunk);
  thunkOf_.emplace(entry, address);
  return address;
#else
  return reinterpret_cast<std::uintptr_t>(entry);
#endif
}

void ModuleMemory::protect(Protect protectFunction) {
  const std::size_t executable = static_cast<std::size_t>(data_.data() - mapping_);
  if (executable == 0) return;
  if (protectFunction(mapping_, executable, PROT_READ | PROT_EXEC) != 0) {
    std::printf("Loader failed to protect memory, error #%d\n", errno);
    (void)std::fflush(stdout);
  }
}

}  // namespace rt::host
