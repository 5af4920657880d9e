#include "text/TextEncodingClass.h"

#include <array>
#include <cstddef>

#include "objects/ClassRegistry.h"
#include "objects/FieldAccessors.h"
#include "text/EncodingApi.h"
#include "text/EncodingConversion.h"
#include "text/Encodings.h"

namespace rt::text {
namespace {

const std::array kTextEncodingProperties{
    PropertyDefinition{"Code", reinterpret_cast<void*>(&intGetter),
                       reinterpret_cast<void*>(&intSetter), offsetof(TextEncodingObject, encoding)},
};

}  // namespace

const ClassDefinition textEncodingClass{"TextEncoding", nullptr, sizeof(TextEncodingObject),
                                        nullptr, nullptr, {}, kTextEncodingProperties, {}};

RTObject* newTextEncoding(std::uint32_t encoding) {
  RTObject* object = RuntimeNewObject(objects::classFor(textEncodingClass));
  if (object != nullptr) reinterpret_cast<TextEncodingObject*>(object)->encoding = encoding;
  return object;
}

std::uint32_t encodingOfObject(RTObject* encoding) {
  // Only a TextEncoding object carries an encoding word to read.
  if (!RuntimeObjectIsa(encoding, objects::classFor(textEncodingClass))) return kEncodingUnknown;
  return reinterpret_cast<TextEncodingObject*>(encoding)->encoding;
}

}  // namespace rt::text

extern "C" {

RTString StringConvertEncoding(RTString s, RTObject* encoding) {
  return rt::text::convertEncoding(s, rt::text::encodingOfObject(encoding));
}

RTString TOLVConvertString(RTString s, uint32_t encoding) {
  return rt::text::convertEncoding(s, encoding);
}

}  // extern "C"
