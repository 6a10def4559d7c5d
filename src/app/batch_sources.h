// The files a batch takes from a folder: those a reader is keyed to by their extension and those
// that match a pattern of the IES extension list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/conversion_settings.h"

namespace lumatra {

// `file_name` (no folder) has the extension of a format the loader reads, or matches one of
// `ies_patterns` ("*.IES", "*.PHT"; "*." is a name without extension), cases ignored.
bool ConvertibleName(std::string_view file_name, const IesExtensionList& ies_patterns);

// Appends the convertible regular files of `folder` (and of its subfolders when `recursive`;
// links to folders are not followed) in the order of their paths. "" or why the folder cannot
// be read.
std::string AddFolderFiles(const std::string& folder, bool recursive,
                           const IesExtensionList& ies_patterns, std::vector<std::string>& files);

}  // namespace lumatra
