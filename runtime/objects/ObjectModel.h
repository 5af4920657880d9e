// Class records, the object header and reference counting of runtime objects.
//
// Invariants:
//  - Every object starts with an ObjectHeader; its fields follow the header.
//  - A reference count of 0 marks an object that is not counted (static); lock
//    and unlock never change it.
//  - A class record is one block: the fixed part, then the interface, method,
//    event, shared-member and property tables in that order.
//  - A subclass's tables start with a copy of its superclass's, so inherited
//    methods keep their slots and overrides replace an entry in place.
#pragma once

#include <stdint.h>

#include "text/StringBlock.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct ObjectHeader RTObject;
typedef struct ClassRecord ClassRecord;
typedef void (*ObjectHook)(RTObject* object);

typedef struct MethodEntry {
  void* code;
  RTString signature;  // name "%" result "%" parameters; "#" first marks an event
} MethodEntry;

typedef struct EventEntry {
  void* handler;
  uintptr_t reserved;
} EventEntry;

typedef struct SharedMemberEntry {
  void* value;
  uintptr_t reserved;
} SharedMemberEntry;

// A property: a getter and a setter of the field-accessor family with the
// field's byte offset as parameter, or functions of the class's own.
typedef struct PropertyEntry {
  RTString name;
  void* getter;
  void* setter;
  intptr_t parameter;
} PropertyEntry;

typedef struct InterfaceEntry {
  ClassRecord* interface;
  uintptr_t unused;
  MethodEntry* methods;  // the interface's method table for the implementing class
} InterfaceEntry;

struct ClassRecord {
  ClassRecord* super;
  RTString name;
  ClassRecord* nextClass;
  uint32_t instanceSize;  // object header included
  uint8_t isInterface;
  ObjectHook initializer;
  ObjectHook destructor;
  ObjectHook finalizer;
  uint32_t methodCount;
  MethodEntry* methods;
  uint32_t eventCount;
  EventEntry* events;
  uint32_t sharedCount;
  SharedMemberEntry* shared;
  uint32_t propertyCount;
  PropertyEntry* properties;
  uint32_t interfaceCount;
  InterfaceEntry interfaces[];
};

struct ObjectHeader {
  MethodEntry* methodTable;
  ClassRecord* cls;
  EventEntry* eventTable;  // the class's table, or a copy owned by this object
  int32_t refCount;
  RTObject* previousLive;
  RTObject* nextLive;
};

// Returns a new zero-filled class record with its tables, the superclass's
// entries copied in; it heads the class list.
ClassRecord* RuntimeNewClass(ClassRecord* super, uint32_t methodCount, uint32_t interfaceCount,
                             uint32_t eventCount, uint32_t sharedCount, uint32_t propertyCount);
// Puts a record that RuntimeNewClass did not make on the class list.
void RuntimeRegisterClass(ClassRecord* cls);
// Returns a table of count method entries, or null for no entries.
MethodEntry* RuntimeNewVtable(int32_t count);

// Returns a new object (count 1) with the initializers run root first.
RTObject* RuntimeNewObject(ClassRecord* cls);
RTObject* CreateInstance(ClassRecord* cls);
void RuntimeLockObject(RTObject* object);
void RuntimeUnlockObject(RTObject* object);
void RuntimeLockUnlockObjects(RTObject* newValue, RTObject* oldValue);

uint8_t RuntimeObjectIsa(RTObject* object, ClassRecord* cls);
// Returns object with a new reference, or nil after raising IllegalCastException.
RTObject* RuntimeCheckCast(RTObject* object, ClassRecord* cls);
MethodEntry* RuntimeLookupInterfaceVtable(RTObject* object, ClassRecord* interface);
// Borrows name; returns the class record of that name or null.
ClassRecord* RuntimeLookupClass(RTString name);

#ifdef __cplusplus
}
#endif
