// Whole-file reading and writing. Readers parse from memory; writers build their text in memory
// and commit it in one step, so a failed write never leaves a partial file or harms an existing
// target.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lumatra {

// Largest file any reader accepts; photometric files are kilobytes, catalogues megabytes.
inline constexpr std::size_t kMaxInputFileSize = 256u << 20;

// The file's bytes. Throws IoError "cannot open file" / "cannot read file" / "file too large".
std::string ReadFileBytes(const std::string& path);

// Writes `bytes` to a temporary file beside `path` and renames it over `path` when complete.
// Throws IoError "cannot write file" (the temporary is removed; an existing `path` is untouched).
void WriteFileAtomically(const std::string& path, std::string_view bytes);

bool FileExists(const std::string& path);

}  // namespace lumatra
