#include "files/FolderItem.h"

#include "files/Checked.h"
#include "files/FileObjects.h"
#include "files/FolderItemApi.h"

namespace rt {
namespace {

using files::checked;

Object adoptChecked(RTObject* object) { return checked(Object::adopt(object)); }

// The implementation behind a handle; a null handle throws NilObjectException.
files::FolderItemImpUnix& impOf(const Object& item) {
  files::requireObject(item);
  return *reinterpret_cast<files::FolderItemObject*>(item.get())->imp;
}

}  // namespace

FolderItem FolderItem::get(const String& path, std::int32_t pathType) {
  return FolderItem(adoptChecked(RuntimeGetFolderItem(path.get(), pathType)));
}

bool FolderItem::exists() const { return checked(fileExistsGetter(item_.get())) != 0; }
bool FolderItem::isDirectory() const { return checked(fileDirectoryGetter(item_.get())) != 0; }
bool FolderItem::isAlias() const { return checked(fileAliasGetter(item_.get())) != 0; }
std::uint64_t FolderItem::length() const { return checked(fileSizeGetter(item_.get())); }
String FolderItem::name() const { return checked(String::adopt(fileNameGetter(item_.get()))); }

void FolderItem::setName(const String& name) {
  fileNameSetter(item_.get(), name.get());
  throwIfPending();
}

String FolderItem::absolutePath() const {
  return checked(String::adopt(fileAbsolutePathGetter(item_.get())));
}

bool FolderItem::isReadable() const {
  return checked(FolderItemIsCurrentlyReadable(item_.get())) != 0;
}

bool FolderItem::isWriteable() const {
  return checked(FolderItemIsCurrentlyWriteable(item_.get())) != 0;
}

bool FolderItem::locked() const { return checked(fileLockedGetter(item_.get())) != 0; }

std::int32_t FolderItem::lastErrorCode() const {
  return checked(FolderItemGetLastError(item_.get()));
}

void FolderItem::remove() {
  FolderItemDelete(item_.get());
  throwIfPending();
}

void FolderItem::createAsFolder() {
  FolderItemCreateAsFolder(item_.get());
  throwIfPending();
}

void FolderItem::copyFileTo(const FolderItem& destination) {
  FolderItemCopyFileTo(item_.get(), destination.item_.get());
  throwIfPending();
}

void FolderItem::moveFileTo(const FolderItem& destination) {
  FolderItemMoveFileTo(item_.get(), destination.item_.get());
  throwIfPending();
}

bool FolderItem::isSameFile(const FolderItem& other) const {
  return impOf(item_).sameFileAs(impOf(other.item_));
}

BinaryStream FolderItem::createBinaryFile(const String& type) {
  return BinaryStream(adoptChecked(FolderItemCreateBinaryFile(item_.get(), type.get())));
}

BinaryStream FolderItem::openAsBinaryFile(bool write) {
  return BinaryStream(adoptChecked(FolderItemOpenBinaryFile(item_.get(), write)));
}

TextOutputStream FolderItem::createTextFile() {
  return TextOutputStream(adoptChecked(FolderItemCreateTextFile(item_.get())));
}

TextOutputStream FolderItem::createPrivateTextFile() {
  auto file = impOf(item_).createPrivateFile();
  if (file == nullptr) return TextOutputStream();
  return TextOutputStream(Object::adopt(files::newTextOutputStream(std::move(file))));
}

TextOutputStream FolderItem::appendToTextFile() {
  return TextOutputStream(adoptChecked(FolderItemAppendTextFile(item_.get())));
}

TextInputStream FolderItem::openAsTextFile() {
  return TextInputStream(adoptChecked(FolderItemOpenTextFile(item_.get())));
}

TextInputStream FolderItem::openRegularTextFile() {
  auto file = impOf(item_).openRegularFile();
  if (file == nullptr) return TextInputStream();
  return TextInputStream(Object::adopt(files::newTextInputStream(std::move(file))));
}

BinaryStream FolderItem::openRegularBinaryFile() {
  auto file = impOf(item_).openRegularFile();
  if (file == nullptr) return BinaryStream();
  return BinaryStream(Object::adopt(files::newBinaryStream(std::move(file))));
}

std::optional<std::vector<String>> FolderItem::childNames() const {
  const std::optional<std::vector<std::string>> listed = impOf(item_).childNames();
  if (!listed) return std::nullopt;
  std::vector<String> names;
  for (const std::string& name : *listed) names.push_back(String::adopt(files::pathString(name)));
  return names;
}

}  // namespace rt
