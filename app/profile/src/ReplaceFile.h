#pragma once

#include <functional>
#include <string>

namespace talvik::profile {

// Writes a file so that it either appears complete or not at all: write(tempPath) fills a
// new file in the same folder, which then replaces path by rename. On failure the temporary
// file is removed, path is untouched, and error holds the reason.
bool replaceFileAtomically(const std::string& path,
                           const std::function<bool(const std::string& tempPath)>& write,
                           std::string& error);

} // namespace talvik::profile
