// Entry points that convert strings between encodings, and the fields of the
// built-in TextEncoding class, whose objects stand for one encoding word.
#pragma once

#include <stdint.h>

#include "objects/ObjectModel.h"
#include "text/StringBlock.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct TextEncodingObject {
  RTObject header;
  uint32_t encoding;
} TextEncodingObject;

// Borrows both; returns a new reference to s in the object's encoding (s
// itself for a nil object, which stands for the unknown encoding).
RTString StringConvertEncoding(RTString s, RTObject* encoding);
// Borrows s; returns a new reference to s in the encoding (the plugin callback).
RTString TOLVConvertString(RTString s, uint32_t encoding);

#ifdef __cplusplus
}
#endif
