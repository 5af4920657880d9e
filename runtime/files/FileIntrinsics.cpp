#include <array>

#include "files/FileStreamApi.h"
#include "files/FolderItemApi.h"
#include "host/IntrinsicTable.h"

namespace rt::intrinsics {

std::span<const IntrinsicEntry> fileFunctions() {
  static const std::array entries{
      RT_INTRINSIC(RuntimeGetFolderItem),
      RT_INTRINSIC(RuntimeSetApplicationPath),
      RT_INTRINSIC(fileExistsGetter),
      RT_INTRINSIC(fileSizeGetter),
      RT_INTRINSIC(fileNameGetter),
      RT_INTRINSIC(fileNameSetter),
      RT_INTRINSIC(fileDirectoryGetter),
      RT_INTRINSIC(fileAliasGetter),
      RT_INTRINSIC(fileLockedGetter),
      RT_INTRINSIC(FolderItemIsCurrentlyReadable),
      RT_INTRINSIC(FolderItemIsCurrentlyWriteable),
      RT_INTRINSIC(fileAbsolutePathGetter),
      RT_INTRINSIC(FolderItemGetLastError),
      RT_INTRINSIC(FolderItemDelete),
      RT_INTRINSIC(FolderItemCreateAsFolder),
      RT_INTRINSIC(FolderItemCopyFileTo),
      RT_INTRINSIC(FolderItemMoveFileTo),
      RT_INTRINSIC(FolderItemCreateBinaryFile),
      RT_INTRINSIC(FolderItemOpenBinaryFile),
      RT_INTRINSIC(FolderItemCreateTextFile),
      RT_INTRINSIC(FolderItemAppendTextFile),
      RT_INTRINSIC(FolderItemOpenTextFile),

      RT_INTRINSIC(BinaryStreamReadByte),
      RT_INTRINSIC(BinaryStreamReadInt8),
      RT_INTRINSIC(BinaryStreamReadShort),
      RT_INTRINSIC(BinaryStreamReadInt16),
      RT_INTRINSIC(BinaryStreamReadUInt16),
      RT_INTRINSIC(BinaryStreamReadLong),
      RT_INTRINSIC(BinaryStreamReadInt32),
      RT_INTRINSIC(BinaryStreamReadUInt32),
      RT_INTRINSIC(BinaryStreamReadInt64),
      RT_INTRINSIC(BinaryStreamReadUInt64),
      RT_INTRINSIC(BinaryStreamReadBoolean),
      RT_INTRINSIC(BinaryStreamRead),
      RT_INTRINSIC(BinaryStreamReadPString),
      RT_INTRINSIC(BinaryStreamWriteByte),
      RT_INTRINSIC(BinaryStreamWriteInt8),
      RT_INTRINSIC(BinaryStreamWriteUInt8),
      RT_INTRINSIC(BinaryStreamWriteShort),
      RT_INTRINSIC(BinaryStreamWriteInt16),
      RT_INTRINSIC(BinaryStreamWriteUInt16),
      RT_INTRINSIC(BinaryStreamWriteLong),
      RT_INTRINSIC(BinaryStreamWriteInt32),
      RT_INTRINSIC(BinaryStreamWriteUInt32),
      RT_INTRINSIC(BinaryStreamWriteInt64),
      RT_INTRINSIC(BinaryStreamWriteUInt64),
      RT_INTRINSIC(BinaryStreamWriteBoolean),
      RT_INTRINSIC(BinaryStreamWrite),
      RT_INTRINSIC(BinaryStreamWritePString),
      RT_INTRINSIC(BinaryStreamLengthGetter),
      RT_INTRINSIC(BinaryStreamLengthSetter),
      RT_INTRINSIC(BinaryStreamPositionGetter),
      RT_INTRINSIC(BinaryStreamPositionSetter),
      RT_INTRINSIC(BinaryStreamEOFGetter),
      RT_INTRINSIC(BinaryStreamFlush),
      RT_INTRINSIC(BinaryStreamClose),
      RT_INTRINSIC(BinaryStreamLastErrorGetter),
      RT_INTRINSIC(BinaryStreamReadErrorGetter),
      RT_INTRINSIC(BinaryStreamWriteErrorGetter),

      RT_INTRINSIC(TextInputStreamReadLine),
      RT_INTRINSIC(TextInputStreamRead),
      RT_INTRINSIC(TextInputStreamReadAll),
      RT_INTRINSIC(TextInputStreamEOFGetter),
      RT_INTRINSIC(TextInputStreamPositionGetter),
      RT_INTRINSIC(TextInputStreamPositionSetter),
      RT_INTRINSIC(TextInputStreamClose),
      RT_INTRINSIC(TextInputStreamLastErrorGetter),
      RT_INTRINSIC(TextInputStreamReadErrorGetter),

      RT_INTRINSIC(TextOutputStreamWriteLine),
      RT_INTRINSIC(TextOutputStreamWrite),
      RT_INTRINSIC(TextOutputStreamFlush),
      RT_INTRINSIC(TextOutputStreamClose),
      RT_INTRINSIC(TextOutputStreamLastErrorGetter),
      RT_INTRINSIC(TextOutputStreamWriteErrorGetter),
  };
  return entries;
}

}  // namespace rt::intrinsics
