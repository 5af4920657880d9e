#include <gtest/gtest.h>

#include "host/IntrinsicTable.h"

namespace {

// clang-format off
constexpr const char* kNames[] = {
    "RuntimeLockString", "RuntimeUnlockString", "RuntimeLockUnlockStrings", "RuntimeAddString",
    "RuntimeStringCompare", "RuntimeGetStructureString", "RuntimeSetStructureString",
    "TOLVBuildString", "TOLVLockString", "TOLVUnlockString", "StringFromCString",
    "StringFromPString", "StringFromWString", "StringGetCString", "StringGetPString",
    "TOLVGetStringEncoding", "TOLVSetStringEncoding", "TOLVConvertString", "StringConvertEncoding",
    "StringDBCSLeft", "StringDBCSRight", "StringDBCSMid3", "StringDBCSMid2", "StringDBCSLen",
    "StringDBCSAsc", "StringDBCSChr", "StringLeft", "StringRight", "StringMid3", "StringMid2",
    "StringLen", "StringAsc", "StringChr", "StringInStr", "StringInStrB", "runTrim", "runLTrim",
    "runRTrim", "StringVal", "StringStrInt8", "StringStrInt16", "StringStrUInt8", "StringStrUInt16",
    "StringStrInt32", "StringStrUInt32", "StringStrInt64", "StringStrUInt64",
};
// clang-format on

TEST(TextIntrinsics, EveryEntryPointIsListedByName) {
  for (const char* name : kNames) EXPECT_NE(rt::intrinsics::lookup(name), nullptr) << name;
}

}  // namespace
