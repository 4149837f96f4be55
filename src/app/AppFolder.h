#pragma once
// The application folder: the folder holding the executable, where every data file lives.

#include <filesystem>
#include <string>
#include <vector>

namespace tavrel {

// Copies each default data file built into the program (dxcc1.csv, spectrum.col, …) into the
// folder when a file of that name is missing there. Existing files are never touched.
// Returns the names of the files copied.
std::vector<std::string> installMissingDataFiles(const std::filesystem::path& folder);

} // namespace tavrel
