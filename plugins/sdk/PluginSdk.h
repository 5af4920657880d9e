// What a plugin library sees of the runtime. A plugin links against nothing of
// the runtime: it exports TOLVPluginMain, receives a resolver there, and asks
// the resolver for every runtime service by name (a name the runtime does not
// have yields null, which the plugin treats as an absent service).
//
// Records are laid out by the plugin and read by the runtime; every field is a
// machine word so the layout is the same for both sides.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef void* PluginObject;  // a runtime object (counted by the runtime)
typedef void* PluginString;  // a runtime string; null is the empty string

typedef void* (*PluginResolver)(const char* name);

// Entry point every plugin exports.
typedef void (*PluginMainFunction)(PluginResolver resolver);

// A getter or setter of kPluginFieldAccess reads or writes the field of the
// object's plugin data at offset `parameter`.
#define kPluginFieldAccess ((void*)(intptr_t)-1)

typedef struct PluginProperty {
  const char* group;
  const char* name;
  const char* type;
  intptr_t flags;
  void* getter;
  void* setter;
  intptr_t parameter;
  intptr_t reserved[3];
} PluginProperty;

typedef struct PluginMethod {
  void* function;
  intptr_t reserved;
  const char* declaration;  // for example "Execute(command as String)"
  intptr_t flags;
} PluginMethod;

typedef struct PluginEvent {
  const char* declaration;  // for example "DataAvailable()"
  intptr_t reserved;
} PluginEvent;

enum { kPluginClassConsoleSafe = 1 };

typedef struct PluginClassDefinition {
  intptr_t version;        // layout version of this record
  const char* name;
  const char* superName;   // null for none
  intptr_t dataSize;       // bytes of per-object plugin data
  intptr_t systemWord;     // set by the runtime: offset of the plugin data in an object
  void (*constructor)(PluginObject object);
  void (*destructor)(PluginObject object);
  PluginProperty* properties;
  intptr_t propertyCount;
  PluginMethod* methods;
  intptr_t methodCount;
  PluginEvent* events;
  intptr_t eventCount;
  void* constants;
  intptr_t constantCount;
  intptr_t flags;          // kPluginClassConsoleSafe
} PluginClassDefinition;

// Records a plugin hands to the runtime besides its class definitions. A
// control is described by a class definition.

// One function made resolvable by name, for other plugins and for imports.
typedef struct PluginExport {
  const char* name;
  void* function;
} PluginExport;

// Methods and computed properties added to an existing class. The functions
// take the object first; a property's getter and setter are functions
// (field access has no data to address in an extension).
typedef struct PluginClassExtensionDefinition {
  intptr_t version;
  const char* className;
  PluginMethod* methods;
  intptr_t methodCount;
  PluginProperty* properties;
  intptr_t propertyCount;
} PluginClassExtensionDefinition;

// A named group of global methods and computed properties.
typedef struct PluginModuleDefinition {
  intptr_t version;
  const char* name;
  PluginMethod* methods;
  intptr_t methodCount;
  PluginProperty* properties;
  intptr_t propertyCount;
  void* constants;
  intptr_t constantCount;
} PluginModuleDefinition;

// A class interface: method declarations only (the functions are ignored).
typedef struct PluginInterfaceDefinition {
  intptr_t version;
  const char* name;
  PluginMethod* methods;
  intptr_t methodCount;
} PluginInterfaceDefinition;

// Callbacks a plugin resolves by these names.
typedef void (*RegisterPluginVersionFunction)(intptr_t version);
typedef void (*PluginRegisterClassFunction)(PluginClassDefinition* definition);
// Calls task(data) from event processing every `period` ticks; returns a positive id.
typedef intptr_t (*PluginRegisterBackgroundTaskFunction)(void (*task)(void* data), intptr_t period,
                                                         void* data);
typedef void (*PluginUnregisterBackgroundTaskFunction)(intptr_t id);
// The handler installed for a plugin event on an object, or null; it is called
// with the object.
typedef void* (*GetEventInstanceFunction)(PluginObject object, PluginEvent* event);
typedef PluginString (*BuildStringFunction)(const void* bytes, uint32_t length);  // TOLVBuildString
typedef void (*StringReferenceFunction)(PluginString s);  // TOLVLockString, TOLVUnlockString
typedef const char* (*StringGetCStringFunction)(PluginString s);
typedef uint32_t (*StringLengthFunction)(PluginString s);  // TOLVStringLength
// Returns a new reference to s converted to the encoding (TOLVConvertString).
typedef PluginString (*ConvertStringFunction)(PluginString s, uint32_t encoding);
// The encoding of a font name; "System" gives the system encoding (TOLVGetFontEncoding).
typedef uint32_t (*GetFontEncodingFunction)(const char* fontName);

#ifdef __cplusplus
}
#endif
