// The resource scripts of src/resources (*.rc, *.rci, *.h), embedded in the
// virtual machine by the build (cmake/embed_resources.cmake).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vm {

struct EmbeddedFile {
    const char* name;  // the file name, without folder
    const unsigned char* bytes;
    std::size_t size;
};

// Defined by the generated source, in file-name order.
const std::vector<EmbeddedFile>& EmbeddedResourceFiles();

// The text of the embedded file of that name, or nothing.
std::optional<std::string> EmbeddedResourceText(const std::string& name);

}  // namespace vm
