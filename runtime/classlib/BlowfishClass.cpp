#include <array>
#include <span>
#include <string_view>

#include "classlib/Blowfish.h"
#include "classlib/BlowfishApi.h"
#include "classlib/BlowfishObject.h"
#include "classlib/MemoryBlock.h"
#include "classlib/MemoryBlockApi.h"
#include "host/FailureReport.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionApi.h"
#include "objects/ExceptionClasses.h"
#include "text/StringHandle.h"
#include "text/StringStorage.h"

namespace rt::classlib {
namespace {

constexpr const char* kSourceFile = "../Common/BlowFish";
constexpr int kEmptyKeyLine = 322;
constexpr std::int32_t kBlockBytes = 8;

BlowfishSchedule* scheduleOf(RTObject* blowfish) {
  if (blowfish == nullptr) {
    RaiseNilObjectException();
    return nullptr;
  }
  return &reinterpret_cast<BlowfishObject*>(blowfish)->schedule;
}

using BlockCipher = void (*)(const BlowfishSchedule&, std::uint32_t&, std::uint32_t&);

void cipherBlocks(RTObject* blowfish, RTObject* block, BlockCipher cipher,
                  const char* sizeMessage) {
  const BlowfishSchedule* schedule = scheduleOf(blowfish);
  if (schedule == nullptr || block == nullptr || blockOf(block).data == nullptr) return;
  const std::int32_t size = knownSize(blockOf(block));
  if (size % kBlockBytes != 0) {
    exceptions::raise(exceptions::unsupportedFormatException, 0, String(sizeMessage).get());
    return;
  }
  for (std::int32_t offset = 0; offset < size; offset += kBlockBytes) {
    auto left = static_cast<std::uint32_t>(memoryGetLong(block, offset));
    auto right = static_cast<std::uint32_t>(memoryGetLong(block, offset + 4));
    cipher(*schedule, left, right);
    memorySetLong(block, offset, static_cast<std::int32_t>(left));
    memorySetLong(block, offset + 4, static_cast<std::int32_t>(right));
  }
}

template <class Function>
void* entry(Function* function) {
  return reinterpret_cast<void*>(function);
}

const std::array kBlowfishMethods{
    MethodDefinition{"Initialize%%o<_Blowfish>s", entry(&BlowfishInitialize)},
    MethodDefinition{"Encipher%%o<_Blowfish>pp", entry(&BlowfishEncipher)},
    MethodDefinition{"Decipher%%o<_Blowfish>pp", entry(&BlowfishDecipher)},
    MethodDefinition{"EncipherByBlock%%o<_Blowfish>o<MemoryBlock>",
                     entry(&BlowfishEncipherByBlock)},
    MethodDefinition{"DecipherByBlock%%o<_Blowfish>o<MemoryBlock>",
                     entry(&BlowfishDecipherByBlock)},
};

}  // namespace

const ClassDefinition blowfishClass{
    "_Blowfish", nullptr, sizeof(BlowfishObject), nullptr, nullptr, kBlowfishMethods, {}, {}};

void registerBlowfishClass() { objects::registerClassDefinition(blowfishClass); }

}  // namespace rt::classlib

using namespace rt::classlib;

extern "C" {

void BlowfishInitialize(RTObject* blowfish, RTString initStr) {
  BlowfishSchedule* schedule = scheduleOf(blowfish);
  if (schedule == nullptr) return;
  std::string_view key = rt::text::bytes(initStr);
  key = key.substr(0, key.find('\0'));
  if (key.empty()) {
    rt::reportAssertion(kSourceFile, kEmptyKeyLine, "initStr",
                        "Cannot initialize blowfish with an empty string");
    return;
  }
  setBlowfishKey(*schedule, {reinterpret_cast<const unsigned char*>(key.data()), key.size()});
}

void BlowfishEncipher(RTObject* blowfish, uint32_t* left, uint32_t* right) {
  if (const BlowfishSchedule* schedule = scheduleOf(blowfish))
    blowfishEncipher(*schedule, *left, *right);
}

void BlowfishDecipher(RTObject* blowfish, uint32_t* left, uint32_t* right) {
  if (const BlowfishSchedule* schedule = scheduleOf(blowfish))
    blowfishDecipher(*schedule, *left, *right);
}

void BlowfishEncipherByBlock(RTObject* blowfish, RTObject* block) {
  cipherBlocks(blowfish, block, &blowfishEncipher,
               "The data being encrypted must be in multiples of 8 bytes");
}

void BlowfishDecipherByBlock(RTObject* blowfish, RTObject* block) {
  cipherBlocks(blowfish, block, &blowfishDecipher,
               "The data being decrypted must be in multiples of 8 bytes");
}

}  // extern "C"
