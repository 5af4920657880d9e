#include "files/TextEncodingObject.h"

#include "objects/ClassRegistry.h"
#include "text/Encodings.h"

namespace rt::files {

const ClassDefinition textEncodingClass{"TextEncoding", nullptr, sizeof(TextEncodingObject),
                                        nullptr, nullptr, {}, {}, {}};

RTObject* newTextEncoding(std::uint32_t encoding) {
  RTObject* object = RuntimeNewObject(objects::classFor(textEncodingClass));
  if (object != nullptr) reinterpret_cast<TextEncodingObject*>(object)->base = encoding;
  return object;
}

std::uint32_t encodingWordOf(RTObject* encoding) {
  if (encoding == nullptr) return kEncodingUnknown;
  return reinterpret_cast<TextEncodingObject*>(encoding)->base;
}

}  // namespace rt::files
