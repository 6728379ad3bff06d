// Overlay files on the machine's own disk (natively and under Wine): a save
// replaces an existing file whole and leaves no temporary file behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "app/analysis/OverlayStorage.h"

namespace ov {
namespace {

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(OverlayStorageTest, SaveReplacesTheFileAndLoadReadsItBack) {
  const std::string path = ::testing::TempDir() + "ov_overlay_storage.ovo";
  const std::string temporary = path + kOverlaySaveSuffix;
  {
    std::ofstream old(path, std::ios::binary);
    old << std::string(100000, 'x');  // longer than the new file
  }
  const double amps[5] = {1, 2, 3, 4, 5};
  const std::string text = FormatOverlayFile("disk", 22050, 8, amps, 5);
  TextFiles& files = SystemTextFiles();
  ASSERT_EQ(SaveOverlayFile(files, path.c_str(), text, Language::English), "");
  EXPECT_EQ(Contents(path), text);
  EXPECT_FALSE(std::ifstream(temporary).good());

  OverlayFileContents out;
  ASSERT_EQ(LoadOverlayFile(files, path.c_str(), {22050, 8}, Language::English, out), "");
  EXPECT_EQ(out.comment, "disk");
  EXPECT_EQ(out.amplitudes, (std::vector<double>{1, 2, 3, 4, 5}));
  std::remove(path.c_str());

  EXPECT_EQ(LoadOverlayFile(files, path.c_str(), {}, Language::English, out),
            "Unable to open file.\n\n" + path);
}

TEST(OverlayStorageTest, SaveIntoAMissingFolderFailsWithItsMessage) {
  const std::string path = ::testing::TempDir() + "ov_no_such_folder/x.ovo";
  EXPECT_EQ(SaveOverlayFile(SystemTextFiles(), path.c_str(), "text", Language::English),
            "Unable to create file.\n\n" + path);
}

}  // namespace
}  // namespace ov
