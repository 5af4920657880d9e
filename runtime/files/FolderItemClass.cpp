#include <algorithm>
#include <array>

#include "files/FileObjects.h"
#include "files/FolderItemApi.h"
#include "host/FailureReport.h"
#include "objects/ClassRegistry.h"
#include "objects/ExceptionApi.h"
#include "text/EncodingConversion.h"
#include "text/Encodings.h"
#include "text/StringApi.h"
#include "text/StringStorage.h"

namespace rt::files {
namespace {

constexpr const char* kSourceFile = "../Common/runFolderItem";

void finalizeFolderItem(RTObject* object) {
  auto* item = reinterpret_cast<FolderItemObject*>(object);
  delete item->imp;
  item->imp = nullptr;
}

// The implementation for a getter: null (answer 0, false or empty) when the
// item has none; nil raises.
FolderItemImpUnix* getterImp(RTObject* item) {
  if (item == nullptr) {
    RaiseNilObjectException();
    return nullptr;
  }
  return reinterpret_cast<FolderItemObject*>(item)->imp;
}

// The implementation for a method or setter, which needs one.
FolderItemImpUnix* methodImp(RTObject* item) {
  FolderItemImpUnix* imp = getterImp(item);
  if (item != nullptr && imp == nullptr) reportAssertion(kSourceFile, __LINE__, "entry->mImp");
  return imp;
}

using Method = void*;

const std::array kFolderItemMethods{
    MethodDefinition{"Delete%%o<FolderItem>", reinterpret_cast<Method>(&FolderItemDelete)},
    MethodDefinition{"CreateAsFolder%%o<FolderItem>",
                     reinterpret_cast<Method>(&FolderItemCreateAsFolder)},
    MethodDefinition{"CopyFileTo%%o<FolderItem>o<FolderItem>",
                     reinterpret_cast<Method>(&FolderItemCopyFileTo)},
    MethodDefinition{"MoveFileTo%%o<FolderItem>o<FolderItem>",
                     reinterpret_cast<Method>(&FolderItemMoveFileTo)},
    MethodDefinition{"CreateBinaryFile%o<BinaryStream>%o<FolderItem>s",
                     reinterpret_cast<Method>(&FolderItemCreateBinaryFile)},
    MethodDefinition{"OpenAsBinaryFile%o<BinaryStream>%o<FolderItem>b",
                     reinterpret_cast<Method>(&FolderItemOpenBinaryFile)},
    MethodDefinition{"CreateTextFile%o<TextOutputStream>%o<FolderItem>",
                     reinterpret_cast<Method>(&FolderItemCreateTextFile)},
    MethodDefinition{"AppendToTextFile%o<TextOutputStream>%o<FolderItem>",
                     reinterpret_cast<Method>(&FolderItemAppendTextFile)},
    MethodDefinition{"OpenAsTextFile%o<TextInputStream>%o<FolderItem>",
                     reinterpret_cast<Method>(&FolderItemOpenTextFile)},
};

const std::array kFolderItemProperties{
    PropertyDefinition{"Exists", reinterpret_cast<Method>(&fileExistsGetter), nullptr, 0},
    PropertyDefinition{"Length", reinterpret_cast<Method>(&fileSizeGetter), nullptr, 0},
    PropertyDefinition{"Name", reinterpret_cast<Method>(&fileNameGetter),
                       reinterpret_cast<Method>(&fileNameSetter), 0},
    PropertyDefinition{"Directory", reinterpret_cast<Method>(&fileDirectoryGetter), nullptr, 0},
    PropertyDefinition{"Alias", reinterpret_cast<Method>(&fileAliasGetter), nullptr, 0},
    PropertyDefinition{"Locked", reinterpret_cast<Method>(&fileLockedGetter), nullptr, 0},
    PropertyDefinition{"IsReadable", reinterpret_cast<Method>(&FolderItemIsCurrentlyReadable),
                       nullptr, 0},
    PropertyDefinition{"IsWriteable", reinterpret_cast<Method>(&FolderItemIsCurrentlyWriteable),
                       nullptr, 0},
    PropertyDefinition{"AbsolutePath", reinterpret_cast<Method>(&fileAbsolutePathGetter), nullptr,
                       0},
    PropertyDefinition{"LastErrorCode", reinterpret_cast<Method>(&FolderItemGetLastError),
                       nullptr, 0},
};

}  // namespace

// Paths come from the operating system as bytes; text with none above 0x7F
// is ASCII, anything else was made UTF-8 on the way in.
RTString pathString(const std::string& text) {
  const bool ascii = std::all_of(text.begin(), text.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  return text::makeString(text, ascii ? kEncodingASCII : kEncodingUTF8);
}

const ClassDefinition folderItemClass{"FolderItem",        nullptr,
                                      sizeof(FolderItemObject), nullptr,
                                      &finalizeFolderItem, kFolderItemMethods,
                                      kFolderItemProperties, {}};

RTObject* newFolderItem(std::unique_ptr<FolderItemImpUnix> imp) {
  RTObject* object = RuntimeNewObject(objects::classFor(folderItemClass));
  if (object != nullptr) reinterpret_cast<FolderItemObject*>(object)->imp = imp.release();
  return object;
}

}  // namespace rt::files

using namespace rt::files;

extern "C" {

uint8_t fileExistsGetter(RTObject* item) {
  FolderItemImpUnix* imp = getterImp(item);
  return imp != nullptr && imp->exists();
}

uint64_t fileSizeGetter(RTObject* item) {
  FolderItemImpUnix* imp = getterImp(item);
  return imp != nullptr ? imp->length() : 0;
}

RTString fileNameGetter(RTObject* item) {
  FolderItemImpUnix* imp = getterImp(item);
  return imp != nullptr ? pathString(imp->name()) : nullptr;
}

void fileNameSetter(RTObject* item, RTString name) {
  FolderItemImpUnix* imp = methodImp(item);
  if (imp == nullptr) return;
  RTString utf8 = rt::text::convertEncoding(name, kEncodingUTF8);
  imp->setName(rt::text::bytes(utf8));
  RuntimeUnlockString(utf8);
}

uint8_t fileDirectoryGetter(RTObject* item) {
  FolderItemImpUnix* imp = getterImp(item);
  return imp != nullptr && imp->directory();
}

uint8_t fileAliasGetter(RTObject* item) {
  FolderItemImpUnix* imp = getterImp(item);
  return imp != nullptr && imp->alias();
}

uint8_t fileLockedGetter(RTObject* item) {
  FolderItemImpUnix* imp = getterImp(item);
  return imp != nullptr && imp->locked();
}

uint8_t FolderItemIsCurrentlyReadable(RTObject* item) {
  FolderItemImpUnix* imp = getterImp(item);
  return imp != nullptr && imp->isReadable();
}

uint8_t FolderItemIsCurrentlyWriteable(RTObject* item) {
  FolderItemImpUnix* imp = getterImp(item);
  return imp != nullptr && imp->isWriteable();
}

RTString fileAbsolutePathGetter(RTObject* item) {
  FolderItemImpUnix* imp = getterImp(item);
  return imp != nullptr ? pathString(imp->path()) : nullptr;
}

int32_t FolderItemGetLastError(RTObject* item) {
  FolderItemImpUnix* imp = getterImp(item);
  return imp != nullptr ? imp->lastError() : 0;
}

void FolderItemDelete(RTObject* item) {
  if (FolderItemImpUnix* imp = methodImp(item)) imp->remove();
}

void FolderItemCreateAsFolder(RTObject* item) {
  if (FolderItemImpUnix* imp = methodImp(item)) imp->createAsFolder();
}

void FolderItemCopyFileTo(RTObject* item, RTObject* destination) {
  FolderItemImpUnix* imp = methodImp(item);
  if (imp == nullptr) return;
  FolderItemImpUnix* target = methodImp(destination);
  if (target != nullptr) imp->copyFileTo(*target);
}

void FolderItemMoveFileTo(RTObject* item, RTObject* destination) {
  FolderItemImpUnix* imp = methodImp(item);
  if (imp == nullptr) return;
  FolderItemImpUnix* target = methodImp(destination);
  if (target != nullptr) imp->moveFileTo(*target);
}

// The type of a file plays no part on Linux.
RTObject* FolderItemCreateBinaryFile(RTObject* item, RTString) {
  FolderItemImpUnix* imp = methodImp(item);
  if (imp == nullptr) return nullptr;
  auto file = imp->createFile();
  return file != nullptr ? newBinaryStream(std::move(file)) : nullptr;
}

RTObject* FolderItemOpenBinaryFile(RTObject* item, uint8_t write) {
  FolderItemImpUnix* imp = methodImp(item);
  if (imp == nullptr) return nullptr;
  auto file = imp->openFile(write ? UnixDataFile::kModeReadWrite : UnixDataFile::kModeRead);
  return file != nullptr ? newBinaryStream(std::move(file)) : nullptr;
}

RTObject* FolderItemCreateTextFile(RTObject* item) {
  FolderItemImpUnix* imp = methodImp(item);
  if (imp == nullptr) return nullptr;
  auto file = imp->createFile();
  return file != nullptr ? newTextOutputStream(std::move(file)) : nullptr;
}

RTObject* FolderItemAppendTextFile(RTObject* item) {
  FolderItemImpUnix* imp = methodImp(item);
  if (imp == nullptr || imp->locked()) return nullptr;
  auto file = imp->openFile(UnixDataFile::kModeReadWrite);
  if (file == nullptr) return FolderItemCreateTextFile(item);
  file->setPosition(file->length());
  return newTextOutputStream(std::move(file));
}

RTObject* FolderItemOpenTextFile(RTObject* item) {
  FolderItemImpUnix* imp = methodImp(item);
  if (imp == nullptr) return nullptr;
  auto file = imp->openFile(UnixDataFile::kModeRead);
  return file != nullptr ? newTextInputStream(std::move(file)) : nullptr;
}

}  // extern "C"
