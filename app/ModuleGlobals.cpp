#include "ModuleGlobals.h"

#include <memory>

namespace vantor::app {
namespace {

std::unique_ptr<ModuleGlobals> instance;

rt::Array integers(std::int32_t upperBound) { return rt::newArray(kArrayInt32, upperBound); }

}  // namespace

void createModuleGlobals() {
  instance = std::make_unique<ModuleGlobals>();
  ModuleGlobals& g = *instance;
  g.param = rt::newArray(kArrayString, kParamUpperBound);
  for (rt::Array* array : {&g.tableLine, &g.rotateDir, &g.periodA, &g.periodB, &g.rotateStep,
                           &g.stepCount, &g.phase}) {
    *array = integers(kTableUpperBound);
  }
  g.cipherTable = rt::newArray(kArrayString, kTableUpperBound);
  g.expansionSchedule = integers(kScheduleUpperBound);
}

void releaseModuleGlobals() { instance.reset(); }

ModuleGlobals& globals() { return *instance; }

rt::String param(std::int32_t index) { return rt::stringAt(instance->param, index); }

bool inScript() { return instance->scriptMode == 1; }

}  // namespace vantor::app
