// Getters and setters for properties that are plain fields of an object,
// addressed by byte offset. Reference getters return a new reference.
#pragma once

#include <stdint.h>

#include "objects/ArrayBlock.h"
#include "objects/ObjectModel.h"

#ifdef __cplusplus
extern "C" {
#endif

int32_t byteGetter(RTObject* object, intptr_t offset);
void byteSetter(RTObject* object, intptr_t offset, int32_t value);
int32_t boolGetter(RTObject* object, intptr_t offset);
void boolSetter(RTObject* object, intptr_t offset, int32_t value);
int32_t shortGetter(RTObject* object, intptr_t offset);
void shortSetter(RTObject* object, intptr_t offset, int32_t value);
int32_t intGetter(RTObject* object, intptr_t offset);
void intSetter(RTObject* object, intptr_t offset, int32_t value);
int64_t int64Getter(RTObject* object, intptr_t offset);
void int64Setter(RTObject* object, intptr_t offset, int64_t value);
float singleGetter(RTObject* object, intptr_t offset);
void singleSetter(RTObject* object, intptr_t offset, float value);
double doubleGetter(RTObject* object, intptr_t offset);
void doubleSetter(RTObject* object, intptr_t offset, double value);
RTString stringGetter(RTObject* object, intptr_t offset);
void stringSetter(RTObject* object, intptr_t offset, RTString value);
RTObject* objGetter(RTObject* object, intptr_t offset);
void objSetter(RTObject* object, intptr_t offset, RTObject* value);
RTArray* arrayGetter(RTObject* object, intptr_t offset);
void arraySetter(RTObject* object, intptr_t offset, RTArray* value);

#ifdef __cplusplus
}
#endif
