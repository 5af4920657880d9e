// Objects that must be destroyed when the process ends (temporary files and
// the like). Each links itself in on construction and out on destruction.
#pragma once

namespace rt::host {

class ShutdownObject {
 public:
  ShutdownObject();
  virtual ~ShutdownObject();
  ShutdownObject(const ShutdownObject&) = delete;
  ShutdownObject& operator=(const ShutdownObject&) = delete;

 private:
  friend void destroyShutdownList();
  ShutdownObject* next_ = nullptr;
};

// Deletes the list head until the list is empty; the objects must have been
// made with new.
void destroyShutdownList();

}  // namespace rt::host
