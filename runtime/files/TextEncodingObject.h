// Text encoding objects as the streams take and hold them: an object carrying
// one encoding word. Kept local until the text subsystem defines the class.
#pragma once

#include <cstdint>

#include "objects/ClassDefinition.h"
#include "objects/ObjectModel.h"

namespace rt::files {

struct TextEncodingObject {
  RTObject header;
  std::uint32_t base;  // the encoding word
};

extern const ClassDefinition textEncodingClass;

// Returns a new reference to an encoding object for the word.
[[nodiscard]] RTObject* newTextEncoding(std::uint32_t encoding);
// The word of an encoding object (borrowed); nil means unknown (0xFFFF).
std::uint32_t encodingWordOf(RTObject* encoding);

}  // namespace rt::files
