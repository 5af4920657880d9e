// The built-in file classes: the layouts of their objects (fields follow the
// object header in this order) and their class definitions.
//
// Invariants:
//  - An object owns its implementation or file object and frees it when it is
//    released; a stream without a file is closed.
//  - Entry points given nil raise NilObjectException and return 0, false, nil
//    or the empty string.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "files/FolderItemImpUnix.h"
#include "files/UnixDataFile.h"
#include "objects/ClassDefinition.h"
#include "objects/ObjectModel.h"

namespace rt::files {

struct FolderItemObject {
  RTObject header;
  FolderItemImpUnix* imp;
};

struct BinaryStreamObject {
  RTObject header;
  UnixDataFile* file;
  std::uint8_t littleEndian;
  std::int32_t lastError;  // kept from the file when the stream closes
};

inline constexpr std::int32_t kTextInputBufferSize = 1024;

struct TextInputStreamObject {
  RTObject header;
  UnixDataFile* file;
  RTObject* encoding;
  std::int32_t bufferPosition;
  std::int32_t bufferFill;
  unsigned char buffer[kTextInputBufferSize];
  std::int32_t lastError;
};

struct TextOutputStreamObject {
  RTObject header;
  UnixDataFile* file;
  RTString delimiter;
  std::int32_t lastError;
};

extern const ClassDefinition folderItemClass;
extern const ClassDefinition binaryStreamClass;
extern const ClassDefinition textInputStreamClass;
extern const ClassDefinition textOutputStreamClass;

// Makes the file classes known by name (RuntimeLookupClass); part of the
// start-up registration of built-in classes.
void registerFileClasses();

// Closes and frees a stream's file, keeping its error code in lastError.
inline void closeStreamFile(UnixDataFile*& file, std::int32_t& lastError) {
  file->close();
  lastError = file->error();
  delete file;
  file = nullptr;
}

// A stream's LastErrorCode: the open file's, or the one kept when it closed.
inline std::int32_t streamError(const UnixDataFile* file, std::int32_t kept) {
  return file != nullptr ? file->error() : kept;
}

// A method-table entry for an entry point.
template <class Function>
MethodDefinition method(const char* signature, Function* function) {
  return MethodDefinition{signature, reinterpret_cast<void*>(function)};
}

// A path or name from the operating system as a new string: ASCII when no
// byte is above 0x7F, else UTF-8.
[[nodiscard]] RTString pathString(const std::string& text);

// Each returns a new object (a new reference) that takes over its argument.
[[nodiscard]] RTObject* newFolderItem(std::unique_ptr<FolderItemImpUnix> imp);
[[nodiscard]] RTObject* newBinaryStream(std::unique_ptr<UnixDataFile> file);
[[nodiscard]] RTObject* newTextInputStream(std::unique_ptr<UnixDataFile> file);
[[nodiscard]] RTObject* newTextOutputStream(std::unique_ptr<UnixDataFile> file);

}  // namespace rt::files
