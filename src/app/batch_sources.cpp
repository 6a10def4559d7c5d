#include "app/batch_sources.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/format_table.h"
#include "support/text_fields.h"

namespace lumatra {

namespace {

// `*` any run of characters, `?` one character; both texts upper case.
bool Glob(std::string_view pattern, std::string_view name) {
  if (pattern.empty()) return name.empty();
  if (pattern.front() == '*') {
    for (std::size_t skip = 0; skip <= name.size(); ++skip)
      if (Glob(pattern.substr(1), name.substr(skip))) return true;
    return false;
  }
  return !name.empty() && (pattern.front() == '?' || pattern.front() == name.front()) &&
         Glob(pattern.substr(1), name.substr(1));
}

bool MatchesPattern(std::string pattern, const std::string& name) {
  pattern = UpperCase(pattern);
  // "*." as in the file dialogs: a name without an extension.
  if (pattern.size() > 1 && pattern.back() == '.' && name.find('.') == std::string::npos)
    pattern.pop_back();
  return Glob(pattern, name);
}

}  // namespace

bool ConvertibleName(std::string_view file_name, const IesExtensionList& ies_patterns) {
  const std::string key = ExtensionKey(file_name);
  if (!key.empty())
    for (const FormatRow& format : Formats())
      if (format.read && format.load_key == key) return true;
  const std::string name = UpperCase(std::string(file_name));
  return std::any_of(ies_patterns.begin(), ies_patterns.end(),
                     [&](const std::string& p) { return MatchesPattern(p, name); });
}

std::string AddFolderFiles(const std::string& folder, bool recursive,
                           const IesExtensionList& ies_patterns, std::vector<std::string>& files) {
  namespace fs = std::filesystem;
  const std::size_t first = files.size();
  std::error_code ec;
  auto take = [&](const fs::directory_entry& entry) {
    std::error_code type_ec;
    if (entry.is_regular_file(type_ec) &&
        ConvertibleName(entry.path().filename().string(), ies_patterns))
      files.push_back(entry.path().string());
  };
  if (recursive) {
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
      take(*it);
  } else {
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
      take(*it);
  }
  std::sort(files.begin() + static_cast<std::ptrdiff_t>(first), files.end());
  return ec ? "cannot read the folder " + folder + ": " + ec.message() : std::string();
}

}  // namespace lumatra
