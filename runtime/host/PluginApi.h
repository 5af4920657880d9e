// Entry points of the plugin host: the plugin entry table compiled code calls
// plugin functions through, and the callbacks plugins resolve by name.
// Functions returning RTString or RTObject* return a new reference; arguments
// are borrowed. Names given as const char* are UTF-8 and compared ignoring case.
#pragma once

#include <stdint.h>

#include "plugins/sdk/PluginSdk.h"
#include "objects/ObjectModel.h"
#include "text/StringBlock.h"

#ifdef __cplusplus
extern "C" {
#endif

// Returns a new zero-filled table of count pointers (null for 0), owned by the module.
void** RuntimeAllocatePluginEntrypointsTable(int32_t count);
// Returns the function registered under the entry name ("Class.member"), or
// null for "_" and for unknown names (reported).
void* RuntimeLookupPluginEntrypoint(RTString name);

// Stores the SDK version of the plugin being loaded.
void RegisterPluginVersion(intptr_t version);
// Adds count functions to the intrinsic function table under their names; a
// name already there keeps its entry (a different function is reported).
void RegisterPluginExports(const PluginExport* exports, intptr_t count);
// Records a class of the plugin being loaded; its class record is made when
// the plugin's main function has returned. The definition is borrowed for the
// life of the process.
void PluginRegisterClass(PluginClassDefinition* definition);
// A control is registered exactly like a class (same record, same entries).
void PluginRegisterControl(PluginClassDefinition* definition);
// Records methods and properties added to the named class; their entries are
// named Class + "." + declaration (or property name + ".Get"/".Set").
void PluginRegisterClassExtension(PluginClassExtensionDefinition* definition);
// Records a module; its entries are named Module + "." + declaration.
void PluginRegisterModule(PluginModuleDefinition* definition);
// Records a global method; its entry is named by its declaration alone.
void PluginRegisterMethod(PluginMethod* method);
// Makes a class interface known by name (a class record that is never instantiated).
void PluginRegisterInterface(PluginInterfaceDefinition* definition);
// Returns a new object of the named class, or nil when there is no such class.
RTObject* PluginNewInstance(const char* className);
// Returns a new object of the class of object, or nil for nil.
RTObject* PluginNewOfSameClass(RTObject* object);
// The marker a plugin puts in a method record that has no function: such
// methods get no entry; calling it raises FunctionNotFoundException.
void TOLVnoImplementation(void);

// Returns the positive id of a new background task calling task(data).
intptr_t PluginRegisterBackgroundTask(void (*task)(void* data), intptr_t period, void* data);
void PluginUnregisterBackgroundTask(intptr_t id);
// Returns the handler installed for a plugin event on object, or null.
void* GetEventInstance(RTObject* object, PluginEvent* event);
// Returns the encoding word of a font's text: the system encoding, UTF-8.
uint32_t TOLVGetFontEncoding(const char* fontName);

// Returns the function of a plugin module's method (moduleName null or empty:
// a global method) whose declaration has the name declaration starts with.
void* TOLVLoadGlobalMethod(const char* moduleName, const char* declaration);
// Returns the code of the method of object's class (or of an extension of it)
// whose name declaration starts with; null when there is none.
void* TOLVLoadObjectMethod(RTObject* object, const char* declaration);

// Property values by name, through the property table of object's class, then
// the computed properties plugins added to it (or to a superclass).
// Each returns true when the class has the property with a getter (setter) of
// a matching type; getters store the value in *value (String and Object
// values as new references owned by the caller).
uint8_t TOLVGetPropValueInt(RTObject* object, const char* name, int32_t* value);
uint8_t TOLVGetPropValueInt64(RTObject* object, const char* name, int64_t* value);
uint8_t TOLVGetPropValueBoolean(RTObject* object, const char* name, uint8_t* value);
uint8_t TOLVGetPropValueDouble(RTObject* object, const char* name, double* value);
uint8_t TOLVGetPropValueSingle(RTObject* object, const char* name, float* value);
uint8_t TOLVGetPropValueString(RTObject* object, const char* name, RTString* value);
uint8_t TOLVGetPropValueObject(RTObject* object, const char* name, RTObject** value);
uint8_t TOLVGetPropValueColor(RTObject* object, const char* name, uint32_t* value);
uint8_t TOLVSetPropValueInt(RTObject* object, const char* name, int32_t value);
uint8_t TOLVSetPropValueInt64(RTObject* object, const char* name, int64_t value);
uint8_t TOLVSetPropValueBoolean(RTObject* object, const char* name, uint8_t value);
uint8_t TOLVSetPropValueDouble(RTObject* object, const char* name, double value);
uint8_t TOLVSetPropValueSingle(RTObject* object, const char* name, float value);
uint8_t TOLVSetPropValueString(RTObject* object, const char* name, RTString value);
uint8_t TOLVSetPropValueObject(RTObject* object, const char* name, RTObject* value);
uint8_t TOLVSetPropValueColor(RTObject* object, const char* name, uint32_t value);

// Returns the number of method-table entries of cls (inherited ones included); 0 for null.
int32_t TOLVCountClassMethods(ClassRecord* cls);
// Returns whether index selects a method-table entry; stores its code and a
// new reference to its signature ("Name%result%parameters") where not null.
uint8_t TOLVGetClassMethod(ClassRecord* cls, int32_t index, void** code, RTString* signature);
// Returns the number of property entries of cls (inherited ones included); 0 for null.
int32_t TOLVCountClassProperties(ClassRecord* cls);
// Returns whether index selects a property entry; stores a new reference to
// its name, its getter, setter and parameter where not null.
uint8_t TOLVGetClassProperty(ClassRecord* cls, int32_t index, RTString* name, void** getter,
                             void** setter, intptr_t* parameter);

// One pass of event processing (background tasks, timers, periodic tasks);
// inside a pass already running it only lets the next thread run.
void TOLVYieldToZK(void);
// Returns the highest plugin SDK version this runtime serves.
intptr_t TOLVGetRuntimeVersion(void);

#ifdef __cplusplus
}
#endif
