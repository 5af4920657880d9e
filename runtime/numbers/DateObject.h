// The built-in Date class and the layout of its objects.
#pragma once

#include "numbers/DateImp.h"
#include "objects/ClassDefinition.h"
#include "objects/ObjectModel.h"

namespace rt::dates {

struct DateObject {
  RTObject header;
  DateImp* record;  // owned; made on first use
};

extern const ClassDefinition dateClass;

// Adds the Date definition to the registry searched by RuntimeLookupClass.
void registerDateClass();

// The record of a non-nil Date object, made when it has none yet.
DateImp& recordOf(RTObject* date);

}  // namespace rt::dates
