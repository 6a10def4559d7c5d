#include "formats/file_io.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "support/io_error.h"

namespace lumatra {

std::string ReadFileBytes(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) throw IoError("cannot open file: is a directory");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw IoError("cannot open file");
  in.seekg(0, std::ios::end);
  std::streamoff size = in.tellg();
  if (size < 0) throw IoError("cannot read file");
  if (static_cast<std::uint64_t>(size) > kMaxInputFileSize) throw IoError("file too large");
  in.seekg(0, std::ios::beg);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (size > 0 && !in.read(bytes.data(), size)) throw IoError("cannot read file");
  return bytes;
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string temp = path + ".lumatra-" + std::to_string(::getpid()) + ".tmp";
  bool ok = false;
  if (std::FILE* f = std::fopen(temp.c_str(), "wb")) {
    ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fflush(f) == 0) && ok;
    ok = (std::fclose(f) == 0) && ok;
  }
  std::error_code ec;
  if (ok) {
    std::filesystem::rename(temp, path, ec);
    ok = !ec;
  }
  if (!ok) {
    std::filesystem::remove(temp, ec);
    throw IoError("cannot write file");
  }
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

}  // namespace lumatra
