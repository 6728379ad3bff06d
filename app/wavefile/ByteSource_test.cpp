// The file and memory sources keep the same contract, so what the tests and
// the fuzzer see through memory holds for files.
#include "app/wavefile/ByteSource.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/wavefile/ByteSourceMemory.h"

namespace ov {
namespace {

const std::vector<uint8_t> kContent = [] {
  std::vector<uint8_t> b(1000);
  for (size_t i = 0; i < b.size(); ++i) b[i] = uint8_t(i * 13);
  return b;
}();

std::unique_ptr<ByteSource> FileSource() {
  static const std::string path = [] {
    const std::string p = ::testing::TempDir() + "ov_byte_source_contract.bin";
    std::ofstream(p, std::ios::binary)
        .write(reinterpret_cast<const char*>(kContent.data()), std::streamsize(kContent.size()));
    return p;
  }();
  return OpenFileSource(path.c_str());
}

std::unique_ptr<ByteSource> MemorySource() {
  return std::make_unique<MemoryByteSource>(kContent.data(), kContent.size());
}

class ByteSourceContract
    : public ::testing::TestWithParam<std::function<std::unique_ptr<ByteSource>()>> {};

TEST_P(ByteSourceContract, ReadsSeeksAndEndsLikeAFileHandle) {
  std::unique_ptr<ByteSource> s = GetParam()();
  ASSERT_TRUE(s);
  EXPECT_EQ(s->Size(), 1000u);
  std::vector<uint8_t> buf(600);
  ASSERT_EQ(s->Read(buf.data(), 100), 100u);
  EXPECT_TRUE(std::equal(buf.begin(), buf.begin() + 100, kContent.begin()));
  ASSERT_TRUE(s->SeekBy(-50));
  ASSERT_EQ(s->Read(buf.data(), 10), 10u);
  EXPECT_EQ(buf[0], kContent[50]);
  EXPECT_FALSE(s->SeekBy(-100));  // before the start
  ASSERT_TRUE(s->SeekTo(700));
  EXPECT_EQ(s->Read(buf.data(), 600), 300u);  // short only at the end
  EXPECT_EQ(buf[299], kContent[999]);
  EXPECT_EQ(s->Read(buf.data(), 10), 0u);
  // Past the end, even beyond 4 GiB, is a position; reads there give nothing.
  ASSERT_TRUE(s->SeekTo(5ull << 30));
  EXPECT_EQ(s->Read(buf.data(), 10), 0u);
  ASSERT_TRUE(s->SeekBy(-static_cast<int64_t>((5ull << 30) - 998)));
  EXPECT_EQ(s->Read(buf.data(), 10), 2u);
}

INSTANTIATE_TEST_SUITE_P(Sources, ByteSourceContract, ::testing::Values(FileSource, MemorySource));

TEST(OpenFileSource, MissingFilesAndFoldersDoNotOpen) {
  EXPECT_EQ(OpenFileSource((::testing::TempDir() + "ov_no_such_file.wav").c_str()), nullptr);
  EXPECT_EQ(OpenFileSource(::testing::TempDir().c_str()), nullptr);
}

}  // namespace
}  // namespace ov
