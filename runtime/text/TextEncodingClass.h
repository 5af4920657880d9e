// The built-in TextEncoding class: an object holding one encoding word, with
// the integer property Code.
#pragma once

#include <cstdint>

#include "objects/ClassDefinition.h"
#include "objects/ObjectModel.h"

namespace rt::text {

extern const ClassDefinition textEncodingClass;

// Returns a new reference to a TextEncoding object holding the word.
[[nodiscard]] RTObject* newTextEncoding(std::uint32_t encoding);

// The encoding word of a TextEncoding object; nil or any other object gives the
// unknown word 0xFFFF.
std::uint32_t encodingOfObject(RTObject* encoding);

}  // namespace rt::text
