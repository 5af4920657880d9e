// The application folder: relative names given to folder items resolve
// against it, whatever the current directory is.
#pragma once

#include <string>
#include <string_view>

namespace rt::files {

// The folder that holds the program, without a trailing "/" (empty for the
// root). Found once, from the program's own path, unless set.
const std::string& applicationFolder();

// Makes folder the application folder from now on.
void setApplicationFolder(std::string_view folder);

}  // namespace rt::files
