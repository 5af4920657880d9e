// The process-wide class list, the built-in class-definition registry and the
// conversion of definitions into class records.
#pragma once

#include "objects/ClassDefinition.h"
#include "objects/ObjectModel.h"

namespace rt::objects {

// Adds a built-in definition to the registry searched by RuntimeLookupClass.
void registerClassDefinition(const ClassDefinition& definition);

// The class record of a definition: a class of that name on the class list
// (one the module compiled) if there is one, else a record built from the
// definition. Cached; never null.
ClassRecord* classFor(const ClassDefinition& definition);

// The handler installed for an event on an object, or null.
void* lookupEvent(RTObject* object, const EventDefinition& event);

// Plugin classes are found through this hook when no built-in definition matches.
using ExternalClassLookup = ClassRecord* (*)(RTString name);
void setExternalClassLookup(ExternalClassLookup lookup);

// Number of objects alive (created and not yet released).
std::int64_t liveObjectCount();

// Walks the class list, newest first.
ClassRecord* firstClass();

}  // namespace rt::objects
