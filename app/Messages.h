// Messages several operations share.
#pragma once

namespace vantor::app {

inline constexpr const char* kBlank = " ";
inline constexpr const char* kSystemNotLoaded =
    "A System is not loaded.  Please issue ressys or createsys.";
inline constexpr const char* kSystemReady = "System is ready.";
inline constexpr const char* kSystemNotInstalled =
    "System is not installed.  Issue createsys or ressys.";
inline constexpr const char* kRandomSourceUnavailable = "Random source not available error.";

}  // namespace vantor::app
