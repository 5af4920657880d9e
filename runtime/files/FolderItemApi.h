// Entry points of folder items. The item is always the first argument and is
// borrowed, as are all other arguments. Operating system failures raise
// nothing: they leave errno in the item's LastErrorCode. A nil item raises
// NilObjectException.
#pragma once

#include <stdint.h>

#include "objects/ObjectModel.h"
#include "text/StringBlock.h"

#ifdef __cplusplus
extern "C" {
#endif

// Returns a new FolderItem for the path, or nil when it cannot name one
// (pathType 0 native, 1 absolute shell path, 2 file URL).
RTObject* RuntimeGetFolderItem(RTString path, int32_t pathType);
// Makes folder (borrowed) the folder relative names resolve against.
void RuntimeSetApplicationPath(RTString folder);

// Whether the path exists.
uint8_t fileExistsGetter(RTObject* item);
// The byte count of the file (64-bit); 0 when it cannot be told.
uint64_t fileSizeGetter(RTObject* item);
// Returns a new reference to the last path component.
RTString fileNameGetter(RTObject* item);
// Renames the item in place to name (borrowed).
void fileNameSetter(RTObject* item, RTString name);
// Whether the path is an existing folder.
uint8_t fileDirectoryGetter(RTObject* item);
// Whether the path is a symbolic link.
uint8_t fileAliasGetter(RTObject* item);
// Whether the item cannot be written.
uint8_t fileLockedGetter(RTObject* item);
// Whether the item can be read now.
uint8_t FolderItemIsCurrentlyReadable(RTObject* item);
// Whether the item can be written now.
uint8_t FolderItemIsCurrentlyWriteable(RTObject* item);
// Returns a new reference to the absolute path.
RTString fileAbsolutePathGetter(RTObject* item);
// The errno value of the last failed operation, 0 before any.
int32_t FolderItemGetLastError(RTObject* item);

// Deletes a file or an empty folder.
void FolderItemDelete(RTObject* item);
// Makes the path a new folder.
void FolderItemCreateAsFolder(RTObject* item);
// Copies the file to destination (borrowed; nil raises), replacing a file there.
void FolderItemCopyFileTo(RTObject* item, RTObject* destination);
// Moves the file to destination (borrowed; nil raises), replacing a file there.
void FolderItemMoveFileTo(RTObject* item, RTObject* destination);

// Returns a new BinaryStream on the file emptied or created, or nil.
RTObject* FolderItemCreateBinaryFile(RTObject* item, RTString type);
// Returns a new BinaryStream on the existing file, or nil.
RTObject* FolderItemOpenBinaryFile(RTObject* item, uint8_t write);
// Returns a new TextOutputStream on the file emptied or created, or nil.
RTObject* FolderItemCreateTextFile(RTObject* item);
// Returns a new TextOutputStream at the end of the file (created if missing), or nil.
RTObject* FolderItemAppendTextFile(RTObject* item);
// Returns a new TextInputStream on the existing file, or nil.
RTObject* FolderItemOpenTextFile(RTObject* item);

#ifdef __cplusplus
}
#endif
