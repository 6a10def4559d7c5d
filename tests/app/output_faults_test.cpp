// Writing targets under faults: planted links, failing writes, long names, files that appear
// meanwhile, temporaries left by killed runs, modes. One table; each case gets a fresh folder.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/batch_driver.h"
#include "app/format_table.h"
#include "formats/file_io.h"
#include "model/lum32.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::WriteFile;

const std::string kPid = std::to_string(::getpid());

// The id of a process that has ended.
std::string GonePid() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return std::to_string(child);
}

std::set<std::string> Names(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(folder))
    names.insert(e.path().filename().string());
  return names;
}

unsigned Mode(const fs::path& path) {
  struct stat st {};
  ::lstat(path.c_str(), &st);
  return st.st_mode & 0777;
}

void SaveLamp(TLUM32& rec, std::uint8_t code, const fs::path& path) {
  if (!rec.Matrix)
    testing::FillGrid(rec, 1, {0}, testing::Steps(0, 10, 90),
                      [](float, float g) { return 300.0 * std::cos(g * M_PI / 180.0); });
  Save(rec, code, path.string());
}

// The file size limit makes a write fail part-way, as a full disk would.
struct FileSizeLimit {
  rlimit saved{};
  explicit FileSizeLimit(rlim_t bytes) {
    ::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &small);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, SIG_DFL);
  }
};

struct QuietUi : BatchUi {
  OverwriteAnswer AskOverwrite(const std::string&, const std::string&) override {
    return OverwriteAnswer::kNo;
  }
};

struct OutputFault {
  const char* fault;
  std::function<void(const fs::path& out)> plant;
  std::function<void(const fs::path& out)> write;
  std::string error;  // what the write throws: "" nothing, else the start of type and reason
  std::function<void(const fs::path& out)> check;
};

const std::string kLong241a = std::string(236, 'X') + "A.LVK";
const std::string kLong241b = std::string(236, 'X') + "B.LVK";

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
     [](const fs::path& out) { WriteFileAtomically((out / "T.LDT").string(), "new"); }, "",
     [](const fs::path& out) {
       EXPECT_EQ(ReadFile(out.parent_path() / "victim"), "victim");
       EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(out / "T.LDT")));
       EXPECT_EQ(ReadFile(out / "T.LDT"), "new");
     }},

    {"an existing target stays when the write fails part-way, with the reason",
     [](const fs::path& out) { WriteFile(out / "T.LDT", "old"); },
     [](const fs::path& out) {
       FileSizeLimit limit(100);
       WriteFileAtomically((out / "T.LDT").string(), std::string(5000, 'n'));
     },
     "IoError: cannot write file: File too large",
     [](const fs::path& out) {
       EXPECT_EQ(ReadFile(out / "T.LDT"), "old");
       EXPECT_EQ(Names(out), std::set<std::string>{"T.LDT"});
     }},

    {"a name the file system cannot take fails with its reason", nullptr,
     [](const fs::path& out) { WriteFileAtomically((out / std::string(300, 'N')).string(), "x"); },
     "IoError: cannot write file: File name too long",
     [](const fs::path& out) { EXPECT_TRUE(fs::is_empty(out)); }},

    {"the temporary's name does not grow with the target's", nullptr,
     [](const fs::path& out) {
       WriteFile(out / (std::string(250, 'N') + ".LDT"), "old");
       WriteFileAtomically((out / (std::string(250, 'N') + ".LDT")).string(), "new");
     },
     "",
     [](const fs::path& out) {
       EXPECT_EQ(ReadFile(out / (std::string(250, 'N') + ".LDT")), "new");
     }},

    {"targets beyond the record's 255-character name are written where asked, named as theirs",
     [](const fs::path& out) { fs::create_directory(out / std::string(250, 'D')); },
     [](const fs::path& out) {
       ASSERT_GT((out / kLong241a).string().size(), 255u);
       TLUM32 rec;
       SaveLamp(rec, kFormatCie, out / kLong241a);
       SaveLamp(rec, kFormatCie, out / kLong241b);
       SaveLamp(rec, kFormatCie, out / std::string(250, 'D') / "LAMP.LVK");
     },
     "",
     [](const fs::path& out) {
       EXPECT_EQ(Names(out), (std::set<std::string>{kLong241a, kLong241b, std::string(250, 'D')}));
       const std::string deep = ReadFile(out / std::string(250, 'D') / "LAMP.LVK");
       EXPECT_NE(deep.find("\r\nIDNM= LAMP\r\n"), std::string::npos);
     }},

    {"a target that appeared meanwhile is kept when nobody agreed to replace it",
     [](const fs::path& out) { WriteFile(out / "T.LDT", "theirs"); },
     [](const fs::path& out) {
       WriteFileAtomically((out / "T.LDT").string(), "ours", ExistingTarget::kKeep);
     },
     "TargetExistsError",
     [](const fs::path& out) {
       EXPECT_EQ(ReadFile(out / "T.LDT"), "theirs");
       EXPECT_EQ(Names(out), std::set<std::string>{"T.LDT"});
     }},

    {"a run removes the temporaries of ended processes and nothing else",
     [](const fs::path& out) {
       const std::string gone = GonePid();
       for (const std::string& name :
            {".lumatra-" + gone + "-0123456789ab.tmp", "LAMP.LDT.lumatra-" + gone + ".tmp",
             ".lumatra-" + kPid + "-0123456789ab.tmp", std::string("LAMP.tmp"),
             std::string(".lumatra-x.tmp")})
         WriteFile(out / name, "partial");
     },
     [](const fs::path& out) {
       ConversionSettings settings;
       settings.DSTDIR = out.string();
       QuietUi ui;
       std::vector<std::string> none;
       BatchDriver(settings, ui, "").StartStop(none, kFormatEulumdat);
     },
     "",
     [](const fs::path& out) {
       EXPECT_EQ(Names(out),
                 (std::set<std::string>{".lumatra-" + kPid + "-0123456789ab.tmp",
                                        std::string("LAMP.tmp"), std::string(".lumatra-x.tmp")}));
     }},

    {"a new target gets 0666 less the umask; a replaced one keeps its mode",
     [](const fs::path& out) {
       WriteFile(out / "OLD.LDT", "old");
       fs::permissions(out / "OLD.LDT", fs::perms::owner_read | fs::perms::owner_write);
     },
     [](const fs::path& out) {
       const mode_t saved = ::umask(027);
       RecordUmask();
       WriteFileAtomically((out / "NEW.LDT").string(), "new");
       WriteFileAtomically((out / "OLD.LDT").string(), "new");
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
    if (c.error.empty())
      EXPECT_EQ(error, "");
    else
      EXPECT_EQ(error.substr(0, c.error.size()), c.error);
    c.check(out);
  }
}

}  // namespace
}  // namespace lumatra
