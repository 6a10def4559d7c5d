// Whole-file reading and writing. Readers parse from memory; writers build their text in memory
// and commit it in one step, so a failed write never leaves a partial file or harms an existing
// target.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "support/io_error.h"

namespace lumatra {

// Largest file any reader accepts. Photometric files are kilobytes; a table at the intensity
// limit (kMaxIntensities) takes about 10 MB as text, so anything larger is refused before it is
// read into memory.
inline constexpr std::size_t kMaxInputFileSize = 64u << 20;

// The file's bytes. Throws IoError "cannot open file" / "cannot read file" / "file too large".
std::string ReadFileBytes(const std::string& path);

// Reads the process's umask, which gives new targets the mode a plain create would (0666 less
// the umask). Reading it means setting it for a moment, so a program calls this first, before
// it starts any thread; without the call the mask is read from /proc, or taken as 077.
void RecordUmask();

// Writes `bytes` to exactly `path`, all or nothing. The data goes to an unnamed file in the
// target's folder, or (to replace a file, or where the file system has no unnamed files) to an
// exclusively created ".lumatra-<pid>-<random>.tmp" there, which then takes the target's name.
// A new target gets 0666 less the umask; a replaced one keeps its mode and is flushed to disk
// before, and its folder after, the rename. With ExistingTarget::kKeep a file at `path`, even
// one that appears while this writes, is never replaced: TargetExistsError. Other failures throw
// IoError "cannot write file: <reason>"; the temporary is removed and an existing `path` stays.
void WriteFileAtomically(const std::string& path, std::string_view bytes,
                         ExistingTarget existing = ExistingTarget::kReplace);

// Removes the temporary files that writers of processes no longer running left in `folder`
// (killed mid-write). Files of running processes and every other file stay; failures are ignored.
void RemoveStaleTempFiles(const std::string& folder);

// Flushes the file system holding `folder` to disk (syncfs; elsewhere fsync of the folder), so
// that what a batch reported as written survives a power cut. "" on success, else the reason.
std::string SyncFileSystemOf(const std::string& folder);

bool FileExists(const std::string& path);

}  // namespace lumatra
