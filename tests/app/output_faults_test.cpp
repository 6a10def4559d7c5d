// Writing targets under faults: planted links, failing writes, long names, files that appear
// meanwhile, temporaries left by killed runs, modes. One table; each case gets a fresh folder.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/batch_driver.h"
#include "formats/file_io.h"
#include "model/lum32.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::WriteFile;
using Names = std::set<std::string>;

const std::string kPid = std::to_string(::getpid());
const std::string kLong = std::string(250, 'N') + ".LDT";
const std::string kDeep = std::string(250, 'D');

Names InFolder(const fs::path& folder) {
  Names names;
  for (const auto& e : fs::directory_iterator(folder))
    names.insert(e.path().filename().string());
  return names;
}

unsigned Mode(const fs::path& path) {
  struct stat st {};
  ::lstat(path.c_str(), &st);
  return st.st_mode & 0777;
}

void Write(const fs::path& path, std::string_view bytes = "new") {
  WriteFileAtomically(path.string(), bytes);
}

struct OutputFault {
  const char* fault;
  std::function<void(const fs::path&out)> plant, write;
  std::string error;  // what the write throws: "" nothing, else the start of type and reason
  std::function<void(const fs::path& out)> check;
};

const OutputFault kOutputFaults[] = {
    {"links planted at predictable temporary names do not redirect the write",
     [](const fs::path& out) {
       WriteFile(out.parent_path() / "victim", "victim");
       WriteFile(out / "T.LDT", "old");
       for (const std::string& name :
            {"T.LDT.lumatra-" + kPid + ".tmp", ".lumatra-" + kPid + ".tmp",
             ".lumatra-" + kPid + "-000000000000.tmp"})
         fs::create_symlink(out.parent_path() / "victim", out / name);
     },
     [](const fs::path& out) { Write(out / "T.LDT"); }, "",
     [](const fs::path& out) {
       EXPECT_EQ(ReadFile(out.parent_path() / "victim"), "victim");
       EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(out / "T.LDT")));
       EXPECT_EQ(ReadFile(out / "T.LDT"), "new");
     }},
    {"an existing target stays when the write fails part-way (a full disk), with the reason",
     [](const fs::path& out) { WriteFile(out / "T.LDT", "old"); },
     [](const fs::path& out) {
       ::signal(SIGXFSZ, SIG_IGN);
       rlimit saved{};
       ::getrlimit(RLIMIT_FSIZE, &saved);
       rlimit small = saved;
       small.rlim_cur = 100;
       ::setrlimit(RLIMIT_FSIZE, &small);
       struct Restore {
         rlimit limit;
         ~Restore() { ::setrlimit(RLIMIT_FSIZE, &limit), ::signal(SIGXFSZ, SIG_DFL); }
       } restore{saved};
       Write(out / "T.LDT", std::string(5000, 'n'));
     },
     "IoError: cannot write file: File too large",
     [](const fs::path& out) {
       EXPECT_EQ(ReadFile(out / "T.LDT"), "old");
       EXPECT_EQ(InFolder(out), Names{"T.LDT"});
     }},
    {"a name the file system cannot take fails with its reason", nullptr,
     [](const fs::path& out) { Write(out / std::string(300, 'N')); },
     "IoError: cannot write file: File name too long",
     [](const fs::path& out) { EXPECT_TRUE(fs::is_empty(out)); }},
    {"the temporary's name does not grow with the target's; paths beyond 255 are written",
     [](const fs::path& out) {
       WriteFile(out / kLong, "old");
       fs::create_directory(out / kDeep);
     },
     [](const fs::path& out) {
       Write(out / kLong);
       TLUM32 rec;
       ASSERT_TRUE(rec.Load((testing::TestDataDir() / "ldt" / "downlight.ldt").string()));
       rec.Save(kFormatCie, (out / kDeep / "LAMP.LVK").string());
     },
     "",
     [](const fs::path& out) {
       EXPECT_EQ(ReadFile(out / kLong), "new");
       EXPECT_NE(ReadFile(out / kDeep / "LAMP.LVK").find("\r\nIDNM= LAMP\r\n"), std::string::npos);
     }},
    {"a target that appeared meanwhile is kept when nobody agreed to replace it",
     [](const fs::path& out) { WriteFile(out / "T.LDT", "theirs"); },
     [](const fs::path& out) {
       WriteFileAtomically((out / "T.LDT").string(), "ours", ExistingTarget::kKeep);
     },
     "TargetExistsError",
     [](const fs::path& out) {
       EXPECT_EQ(ReadFile(out / "T.LDT"), "theirs");
       EXPECT_EQ(InFolder(out), Names{"T.LDT"});
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
     },
     [](const fs::path& out) {
       ConversionSettings settings;
       settings.DSTDIR = out.string();
       struct : BatchUi {
         OverwriteAnswer AskOverwrite(const std::string&, const std::string&) override {
           return OverwriteAnswer::kNo;
         }
       } ui;
       std::vector<std::string> none;
       BatchDriver(settings, ui, "").StartStop(none, kFormatEulumdat);
     },
     "",
     [](const fs::path& out) {
       EXPECT_EQ(InFolder(out),
                 (Names{".lumatra-" + kPid + "-0123456789ab.tmp", "LAMP.tmp", ".lumatra-x.tmp"}));
     }},
    {"a new target gets 0666 less the umask; a replaced one keeps its mode",
     [](const fs::path& out) {
       WriteFile(out / "OLD.LDT", "old");
       fs::permissions(out / "OLD.LDT", fs::perms::owner_read | fs::perms::owner_write);
     },
     [](const fs::path& out) {
       const mode_t saved = ::umask(027);
       RecordUmask();
       Write(out / "NEW.LDT");
       Write(out / "OLD.LDT");
       ::umask(saved);
       RecordUmask();
     },
     "",
     [](const fs::path& out) {
       EXPECT_EQ(Mode(out / "NEW.LDT"), 0640u);
       EXPECT_EQ(Mode(out / "OLD.LDT"), 0600u);
     }},
};

TEST(OutputFaults, EveryCaseKeepsTheFolderSound) {
  for (const OutputFault& c : kOutputFaults) {
    SCOPED_TRACE(c.fault);
    testing::TempDir dir;
    const fs::path out = dir / "out";
    fs::create_directory(out);
    if (c.plant) c.plant(out);
    std::string error;
    try {
      c.write(out);
    } catch (const TargetExistsError& e) {
      error = std::string("TargetExistsError: ") + e.what();
    } catch (const IoError& e) {
      error = std::string("IoError: ") + e.what();
    }
    EXPECT_EQ(error.substr(0, c.error.empty() ? std::string::npos : c.error.size()), c.error);
    c.check(out);
  }
}

}  // namespace
}  // namespace lumatra
