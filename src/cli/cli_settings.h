// lumatra-cli settings: shows and changes the stored conversion settings, and the readable forms
// of the settings that `convert` takes as one-run overrides.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "app/conversion_settings.h"
#include "app/settings_store.h"
#include "cli/cli_commands.h"

namespace lumatra {

void AddSettingsCommand(CLI::App& app, CliStreams& io);

// A text for the terminal: control characters (C0, DEL and C1) as \xNN, bytes that are no
// UTF-8 as U+FFFD.
std::string Printable(std::string_view text);

// The per-user store, or the INI file `file` when it is not empty. Without Qt in the build there
// is no store: nullptr.
std::unique_ptr<SettingsBackend> OpenCliSettings(const std::string& file);
// The stored settings (the defaults where nothing is stored or the build has no store).
ConversionSettings LoadCliSettings(const std::string& file);

// Readable setting values. Each returns false for a text it does not know.
// C step: "keep" or one of 2.5, 5, 15, 22.5, 30, 45, 90 (degrees) -> PLANES index.
bool ParseCStep(std::string_view text, std::int32_t& planes);
// Gamma step: "keep" or one of 1, 2.5, 5, 10 (degrees) -> ANGLES index.
bool ParseGammaStep(std::string_view text, std::int32_t& angles);
// keep|none|rotational|c0-c180|c90-c270|both -> SYMM.
bool ParseSymmetry(std::string_view text, std::int32_t& symm);
// Six comma-separated fields for label lines 1..6, each none|company|report|name|number|date|
// lamp -> LL1 ... LL6.
bool ParseLabelLines(std::string_view text, ConversionSettings& settings);

}  // namespace lumatra
