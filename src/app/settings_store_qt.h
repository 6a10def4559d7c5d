// The per-user settings store of the program: QSettings with organization "Kelmar" and
// application "LUMATRA" (on Linux an INI file under the user's configuration folder), sections
// "GLOBAL", "IESEUL", "TM14", "IES86", "EULUM", "DESTCOORDS", every value a text.
#pragma once

#include <memory>
#include <string>

#include "app/settings_store.h"

namespace lumatra {

// The store at its usual place, or the INI file `path` when it is not empty.
std::unique_ptr<SettingsBackend> OpenUserSettings(const std::string& path = {});

// The program's pattern file and the per-user one beside the settings file of `store_path`
// (the usual place when empty).
PatternFiles UserPatternFiles(const std::string& store_path = {});

// Start and end of a program run: the process-wide Settings() and IesExtensions().
void LoadSettings();
bool SaveSettings();

}  // namespace lumatra
