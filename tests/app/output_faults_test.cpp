// Writing targets under faults: planted links, failing writes, long names, files that appear
// meanwhile, temporaries left by killed runs, modes. Each case gets a fresh folder; what the
// write threw and what the folder then holds are pinned in one golden transcript.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/batch_driver.h"
#include "formats/file_io.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

namespace fs = std::filesystem;
using testing::WriteFile;

const std::string kPid = std::to_string(::getpid());
const std::string kLong = std::string(250, 'N') + ".LDT";

void Write(const fs::path& path, std::string_view bytes = "new") {
  WriteFileAtomically(path.string(), bytes);
}

// Every entry under `dir` with its kind, mode and (short) content, sorted.
std::string Listing(const fs::path& dir) {
  std::set<std::string> lines;
  for (const auto& e : fs::recursive_directory_iterator(dir)) {
    struct stat st {};
    ::lstat(e.path().c_str(), &st);
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", st.st_mode & 0777);
    const std::string bytes = S_ISREG(st.st_mode) ? testing::ReadFile(e.path()) : "";
    lines.insert("  " + e.path().lexically_relative(dir).string() + " " +
                 (S_ISLNK(st.st_mode)   ? "link"
                  : S_ISDIR(st.st_mode) ? "folder"
                                        : mode) +
                 " " + (bytes.size() <= 8 ? bytes : std::to_string(bytes.size()) + " bytes") +
                 "\n");
  }
  std::string text;
  for (const std::string& line : lines)
    text += line;
  return text;
}

const std::pair<const char*, std::function<void(const fs::path& out)>> kOutputFaults[] = {
    {"links planted at predictable temporary names do not redirect the write",
     [](const fs::path& out) {
       WriteFile(out.parent_path() / "victim", "victim");
       WriteFile(out / "T.LDT", "old");
       for (const std::string& name :
            {"T.LDT.lumatra-" + kPid + ".tmp", ".lumatra-" + kPid + ".tmp",
             ".lumatra-" + kPid + "-000000000000.tmp"})
         fs::create_symlink(out.parent_path() / "victim", out / name);
       Write(out / "T.LDT");
     }},
    {"an existing target stays when the write fails part-way (a full disk)",
     [](const fs::path& out) {
       WriteFile(out / "T.LDT", "old");
       rlimit saved{};
       ::getrlimit(RLIMIT_FSIZE, &saved);
       rlimit small = saved;
       small.rlim_cur = 100;
       ::setrlimit(RLIMIT_FSIZE, &small);
       struct Restore {
         rlimit limit;
         ~Restore() { ::setrlimit(RLIMIT_FSIZE, &limit); }
       } restore{saved};
       Write(out / "T.LDT", std::string(5000, 'n'));
     }},
    {"a name the file system cannot take",
     [](const fs::path& out) { Write(out / std::string(300, 'N')); }},
    {"the temporary's name does not grow with the target's",
     [](const fs::path& out) {
       WriteFile(out / kLong, "old");
       Write(out / kLong);
     }},
    {"a target that appeared meanwhile is kept when nobody agreed to replace it",
     [](const fs::path& out) {
       WriteFile(out / "T.LDT", "theirs");
       WriteFileAtomically((out / "T.LDT").string(), "ours", ExistingTarget::kKeep);
     }},
    {"a run removes the temporaries of ended processes and nothing else",
     [](const fs::path& out) {
       const pid_t child = ::fork();
       if (child == 0) ::_exit(0);
       ::waitpid(child, nullptr, 0);
       const std::string gone = std::to_string(child);
       for (const std::string& name :
            {".lumatra-" + gone + "-0123456789ab.tmp", "LAMP.LDT.lumatra-" + gone + ".tmp",
             ".lumatra-" + kPid + "-0123456789ab.tmp", std::string("LAMP.tmp"),
             std::string(".lumatra-x.tmp")})
         WriteFile(out / name, "partial");
       ConversionSettings settings;
       settings.DSTDIR = out.string();
       struct : BatchUi {
         OverwriteAnswer AskOverwrite(const std::string&, const std::string&) override {
           return OverwriteAnswer::kNo;
         }
       } ui;
       std::vector<std::string> none;
       BatchDriver(settings, ui, "").StartStop(none, kFormatEulumdat);
     }},
    {"a new target gets 0666 less the umask; a replaced one keeps its mode",
     [](const fs::path& out) {
       WriteFile(out / "OLD.LDT", "old");
       fs::permissions(out / "OLD.LDT", fs::perms::owner_read | fs::perms::owner_write);
       ::umask(027);
       RecordUmask();
       Write(out / "NEW.LDT");
       Write(out / "OLD.LDT");
     }},
};

TEST(OutputFaults, EveryCaseKeepsTheFolderSound) {
  const mode_t saved_umask = ::umask(022);
  ::signal(SIGXFSZ, SIG_IGN);  // a write beyond the file size limit fails instead
  std::string transcript;
  for (const auto& [fault, write] : kOutputFaults) {
    testing::TempDir dir;
    fs::create_directory(dir / "out");
    ::umask(022);
    RecordUmask();
    std::string error = "nothing";
    try {
      write(dir / "out");
    } catch (const TargetExistsError& e) {
      error = std::string("TargetExistsError: ") + e.what();
    } catch (const IoError& e) {
      error = std::string("IoError: ") + e.what();
    }
    transcript += std::string("## ") + fault + "\nthrown: " + error + "\n" + Listing(dir.path());
    for (const auto& [from, to] : {std::pair{dir.path().string(), std::string("{dir}")},
                                   {"-" + kPid, std::string("-{pid}")},
                                   {kLong, std::string("{long}")}})
      for (std::size_t at = 0; (at = transcript.find(from, at)) != std::string::npos;)
        transcript.replace(at, from.size(), to);
  }
  ::signal(SIGXFSZ, SIG_DFL);
  ::umask(saved_umask);
  RecordUmask();
  testing::ExpectGolden("app/output_faults.txt", transcript);
}

}  // namespace
}  // namespace lumatra
