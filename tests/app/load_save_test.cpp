// Load and Save: the reader the extension names first, then the fallback chain; the reason worth
// reporting; what Save writes for each code and what it leaves alone.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/format_table.h"
#include "model/lum32.h"
#include "support/io_error.h"
#include "testing/test_support.h"

namespace lumatra {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

fs::path Data(const char* name) {
  return testing::TestDataDir() / name;
}

TEST(Load, MissingFilesFailAtOnceAndJunkFailsWithCode14) {
  TempDir dir;
  TLUM32 rec;
  rec.FileFormat = kFormatIes91;
  EXPECT_FALSE(Load(rec, (dir / "none.ldt").string()));
  EXPECT_EQ(rec.ReadError, "cannot open file: no such file");
  EXPECT_EQ(rec.FileFormat, kFormatIes91);
  EXPECT_FALSE(Load(rec, dir.path().string()));
  EXPECT_EQ(rec.ReadError, "cannot open file: not a regular file");

  testing::WriteFile(dir / "junk.txt", "hello\nworld\n");
  EXPECT_FALSE(Load(rec, (dir / "junk.txt").string()));
  EXPECT_EQ(rec.FileFormat, kFormatLoadFailed);
  EXPECT_EQ(rec.Loaded, 0);
  EXPECT_EQ(rec.ReadError, "not a recognised photometric file");
  EXPECT_TRUE(rec.Company.empty());  // the EULUMDAT attempt took line 1 for it
}

// The extension, in any letter case and cut to three letters, picks the reader tried first; its
// reason is the one reported when no reader takes the file. A file under another format's
// extension is still loaded through the chain.
TEST(Load, TheExtensionPicksTheFirstReaderAndTheChainTheRest) {
  TempDir dir;
  const std::string broken_ies = "IESNA91\n[MANUFAC] X\n1 1000 1 2 1 1 2 0 0 0\n";
  for (const char* name : {"a.ies", "b.IeS", "c.iesx"}) {
    testing::WriteFile(dir / name, broken_ies);
    TLUM32 rec;
    EXPECT_FALSE(Load(rec, (dir / name).string()));
    EXPECT_EQ(rec.ReadError, "ies: no TILT line") << name;
  }
  fs::copy_file(Data("ies/williams_1995.ies"), dir / "ies_named.ldt");
  fs::copy_file(Data("cib/downlight.cib"), dir / "plain");
  TLUM32 rec;
  ASSERT_TRUE(Load(rec, (dir / "ies_named.ldt").string())) << rec.ReadError;
  EXPECT_EQ(rec.FileFormat, kFormatIes95);
  ASSERT_TRUE(Load(rec, (dir / "plain").string())) << rec.ReadError;
  EXPECT_EQ(rec.FileFormat, kFormatTm14);
}

TEST(Save, WritesWhatEachCodeNamesAndKeepsTheRecordsName) {
  TempDir dir;
  TLUM32 rec;
  ASSERT_TRUE(Load(rec, Data("ldt/downlight.ldt").string()));
  for (std::uint8_t code : {kFormatLum, kFormatPlaceholder, kFormatPdf, kFormatLoadFailed})
    Save(rec, code, (dir / (std::string("none") + std::to_string(code))).string());
  EXPECT_TRUE(fs::is_empty(dir.path()));
  Save(rec, kFormatEulumdat, (dir / "A.LDT").string());
  Save(rec, kFormatEulumdat2, (dir / "B.LDT").string());
  std::string b = testing::ReadFile(dir / "B.LDT");
  b.replace(b.find("\r\nB\r\n"), 5, "\r\nA\r\n");  // line 11 names the file
  EXPECT_EQ(testing::ReadFile(dir / "A.LDT"), b);
  EXPECT_EQ(rec.FileName, Data("ldt/downlight.ldt").string());

  // EULUMDAT adds the extension a name lacks; the other formats write to the name as given.
  fs::create_directory(dir / "in.dir");
  for (const char* name : {"PLAIN", "in.dir/PLAIN", "DOT.", "X.IE"})
    Save(rec, kFormatEulumdat, (dir / name).string());
  Save(rec, kFormatTm14, (dir / "TM").string());
  for (const char* name : {"PLAIN.LDT", "in.dir/PLAIN.LDT", "DOT..LDT", "X.IE", "TM"})
    EXPECT_TRUE(fs::exists(dir / name)) << name;
}

TEST(Save, AFailedSaveLeavesAnExistingTargetUntouched) {
  TempDir dir;
  TLUM32 rec;
  ASSERT_TRUE(Load(rec, Data("ldt/downlight.ldt").string()));
  rec.Symmetry = 9;  // a record the EULUMDAT writer cannot express
  testing::WriteFile(dir / "good.ldt", "previous content");
  EXPECT_THROW(Save(rec, kFormatEulumdat, (dir / "good.ldt").string()), IoError);
  EXPECT_THROW(Save(rec, kFormatEulumdat, (dir / "new.ldt").string()), IoError);
  EXPECT_EQ(testing::ReadFile(dir / "good.ldt"), "previous content");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace lumatra
