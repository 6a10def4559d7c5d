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

fs::path FirstCorpus(const char* format) {
  auto files = testing::CorpusFiles({format});
  return files.empty() ? fs::path() : files.front();
}

TEST(FormatTable, ExtensionKeys) {
  EXPECT_EQ(ExtensionKey("/a/b/lamp.ldt"), "LDT");
  EXPECT_EQ(ExtensionKey("lamp.LDTX"), "LDT");
  EXPECT_EQ(ExtensionKey("lamp"), "");
  EXPECT_EQ(ExtensionKey("/dir.v2/lamp"), "");
  EXPECT_EQ(ExtensionKey("C:\\DATA\\LAMP.Ies"), "IES");
}

TEST(Dispatch, MissingAndUnrecognisedFilesFail) {
  TLUM32 rec;
  rec.FileFormat = kFormatIes91;
  EXPECT_FALSE(Load(rec, "/nonexistent/lamp.ldt"));  // fails at once, keeps the format code
  EXPECT_EQ(rec.FileFormat, kFormatIes91);
  EXPECT_TRUE(rec.FileName.empty());

  TempDir dir;
  testing::WriteFile(dir / "junk.txt", "hello\nworld\n");
  EXPECT_FALSE(Load(rec, (dir / "junk.txt").string()));
  EXPECT_EQ(rec.FileFormat, kFormatLoadFailed);
  EXPECT_EQ(rec.Loaded, 0);
  EXPECT_EQ(rec.ReadError, "not a recognised photometric file");
}

// The walk over the format table loads every written file by its key and through the fallback
// chain; here a file whose extension names another format.
TEST(Dispatch, AFileUnderAnotherFormatsExtensionIsLoadedByTheFallbackChain) {
  fs::path ies = FirstCorpus("IES95");
  ASSERT_FALSE(ies.empty());
  TempDir dir;
  fs::copy_file(ies, dir / "ies_named.ldt");
  TLUM32 rec;
  ASSERT_TRUE(Load(rec, (dir / "ies_named.ldt").string())) << rec.ReadError;
  EXPECT_EQ(rec.FileFormat, kFormatIes95);
}

TEST(Dispatch, SaveKeepsTheRecordsNameAndWritesNothingForCodesWithoutWriter) {
  fs::path ldt = FirstCorpus("LDT");
  ASSERT_FALSE(ldt.empty());
  TempDir dir;
  TLUM32 rec;
  ASSERT_TRUE(Load(rec, ldt.string()));
  Save(rec, kFormatEulumdat, (dir / "a.ldt").string());
  Save(rec, kFormatEulumdat2, (dir / "b.ldt").string());
  Save(rec, kFormatPdf, (dir / "c.pdf").string());
  Save(rec, kFormatPlaceholder, (dir / "d.x").string());
  Save(rec, kFormatEulumdat, (dir / "e").string());  // EULUMDAT adds the extension it lacks
  EXPECT_EQ(rec.FileName, ldt.string());
  EXPECT_EQ(rec.NameChanged, 1);
  EXPECT_FALSE(fs::exists(dir / "c.pdf"));
  EXPECT_FALSE(fs::exists(dir / "d.x"));
  EXPECT_TRUE(fs::exists(dir / "e.LDT"));
  // Codes 2 and 3 write the same text but for the file name on line 11.
  std::string a = testing::ReadFile(dir / "a.ldt"), b = testing::ReadFile(dir / "b.ldt");
  EXPECT_EQ(a.size(), b.size());
}

TEST(Dispatch, AFailedSaveLeavesAnExistingTargetUntouched) {
  fs::path ldt = FirstCorpus("LDT");
  ASSERT_FALSE(ldt.empty());
  TempDir dir;
  TLUM32 rec;
  ASSERT_TRUE(Load(rec, ldt.string()));
  rec.Symmetry = 9;  // a record the EULUMDAT writer cannot express
  testing::WriteFile(dir / "good.ldt", "previous content");
  EXPECT_ANY_THROW(Save(rec, kFormatEulumdat, (dir / "good.ldt").string()));
  EXPECT_EQ(testing::ReadFile(dir / "good.ldt"), "previous content");
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path()))
    ++entries;
  EXPECT_EQ(entries, 1u);
}

}  // namespace
}  // namespace lumatra
