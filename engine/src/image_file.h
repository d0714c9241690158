#pragma once

#include <memory>
#include <string>

#include "image.h"

namespace QV {

// Opens a resource for an image decoder. A missing file is fatal with
// "ERROR: file '%s' not found in package '%s'", reported from the given source and line.
std::unique_ptr<ImageSource> openImageResource(const std::string& name, const std::string& package,
                                               const char* sourceFile, int line);

// As openImageResource, but null for a missing file.
std::unique_ptr<ImageSource> tryOpenImageResource(const std::string& name,
                                                  const std::string& package);

}  // namespace QV
