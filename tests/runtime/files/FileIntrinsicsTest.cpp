#include <gtest/gtest.h>

#include "files/FileObjects.h"
#include "files/FileStreamApi.h"
#include "files/FolderItemApi.h"
#include "host/IntrinsicTable.h"
#include "objects/ClassRegistry.h"
#include "text/StringHandle.h"

namespace {

#define ENTRY(name) \
  Entry { #name, reinterpret_cast<void*>(&name) }

struct Entry {
  const char* name;
  void* function;
};

TEST(FileIntrinsics, EveryEntryPointIsBoundUnderItsName) {
  const Entry entries[] = {
      ENTRY(RuntimeGetFolderItem), ENTRY(RuntimeSetApplicationPath), ENTRY(fileExistsGetter),
      ENTRY(fileSizeGetter), ENTRY(fileNameGetter), ENTRY(fileNameSetter),
      ENTRY(fileDirectoryGetter), ENTRY(fileAliasGetter), ENTRY(fileLockedGetter),
      ENTRY(FolderItemIsCurrentlyReadable), ENTRY(FolderItemIsCurrentlyWriteable),
      ENTRY(fileAbsolutePathGetter), ENTRY(FolderItemGetLastError), ENTRY(FolderItemDelete),
      ENTRY(FolderItemCreateAsFolder), ENTRY(FolderItemCopyFileTo), ENTRY(FolderItemMoveFileTo),
      ENTRY(FolderItemCreateBinaryFile), ENTRY(FolderItemOpenBinaryFile),
      ENTRY(FolderItemCreateTextFile), ENTRY(FolderItemAppendTextFile),
      ENTRY(FolderItemOpenTextFile),

      ENTRY(BinaryStreamReadByte), ENTRY(BinaryStreamReadInt8), ENTRY(BinaryStreamReadShort),
      ENTRY(BinaryStreamReadInt16), ENTRY(BinaryStreamReadUInt16), ENTRY(BinaryStreamReadLong),
      ENTRY(BinaryStreamReadInt32), ENTRY(BinaryStreamReadUInt32), ENTRY(BinaryStreamReadInt64),
      ENTRY(BinaryStreamReadUInt64), ENTRY(BinaryStreamReadBoolean), ENTRY(BinaryStreamRead),
      ENTRY(BinaryStreamReadPString), ENTRY(BinaryStreamWriteByte), ENTRY(BinaryStreamWriteInt8),
      ENTRY(BinaryStreamWriteUInt8), ENTRY(BinaryStreamWriteShort),
      ENTRY(BinaryStreamWriteInt16), ENTRY(BinaryStreamWriteUInt16),
      ENTRY(BinaryStreamWriteLong), ENTRY(BinaryStreamWriteInt32),
      ENTRY(BinaryStreamWriteUInt32), ENTRY(BinaryStreamWriteInt64),
      ENTRY(BinaryStreamWriteUInt64), ENTRY(BinaryStreamWriteBoolean), ENTRY(BinaryStreamWrite),
      ENTRY(BinaryStreamWritePString), ENTRY(BinaryStreamLengthGetter),
      ENTRY(BinaryStreamLengthSetter), ENTRY(BinaryStreamPositionGetter),
      ENTRY(BinaryStreamPositionSetter), ENTRY(BinaryStreamEOFGetter), ENTRY(BinaryStreamFlush),
      ENTRY(BinaryStreamClose), ENTRY(BinaryStreamLastErrorGetter),
      ENTRY(BinaryStreamReadErrorGetter), ENTRY(BinaryStreamWriteErrorGetter),

      ENTRY(TextInputStreamReadLine), ENTRY(TextInputStreamRead), ENTRY(TextInputStreamReadAll),
      ENTRY(TextInputStreamEOFGetter), ENTRY(TextInputStreamPositionGetter),
      ENTRY(TextInputStreamPositionSetter), ENTRY(TextInputStreamClose),
      ENTRY(TextInputStreamLastErrorGetter), ENTRY(TextInputStreamReadErrorGetter),

      ENTRY(TextOutputStreamWriteLine), ENTRY(TextOutputStreamWrite),
      ENTRY(TextOutputStreamFlush), ENTRY(TextOutputStreamClose),
      ENTRY(TextOutputStreamLastErrorGetter), ENTRY(TextOutputStreamWriteErrorGetter),
  };
  for (const Entry& entry : entries) {
    EXPECT_EQ(rt::intrinsics::lookup(entry.name), entry.function) << entry.name;
  }
  EXPECT_EQ(rt::intrinsics::fileFunctions().size(), std::size(entries));
}

TEST(FileClasses, RegisteredClassesAreFoundByName) {
  rt::files::registerFileClasses();
  for (const rt::ClassDefinition* definition :
       {&rt::files::folderItemClass, &rt::files::binaryStreamClass,
        &rt::files::textInputStreamClass, &rt::files::textOutputStreamClass}) {
    EXPECT_EQ(RuntimeLookupClass(rt::String(definition->name).get()),
              rt::objects::classFor(*definition))
        << definition->name;
  }
}

}  // namespace
