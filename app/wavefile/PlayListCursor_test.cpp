#include "app/wavefile/PlayListCursor.h"

#include <gtest/gtest.h>

#include <string>

#include "app/wavefile/WaveFileTestBytes.h"

namespace ov {
namespace {

using namespace testbytes;

class PlayListCursorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"a.wav", "b.wav", "c.wav"})
      files.files[name] = Riff(Fmt(1, 2, 44100, 16) + Chunk("data", Ramp(400)));
    opener = files.Opener();
    list.opener = &opener;
    std::string message;
    for (const char* name : {"a.wav", "b.wav", "c.wav"})
      ASSERT_EQ(list.AddFile(name, 0, &message), AddResult::Added) << message;
  }
  MemoryFiles files;
  SourceOpener opener;
  PlayList list;
};

TEST_F(PlayListCursorTest, PeeksAndAdvancesFromTheRowPlayStartedAt) {
  PlayListCursor cursor(list);
  EXPECT_EQ(cursor.Answer(true, false), nullptr);  // inactive: a single file plays
  cursor.Start(2);
  EXPECT_EQ(cursor.CurrentItem(), list.ItemAt(2));
  // The engine asks on every open; the cursor moves only while playing.
  EXPECT_EQ(cursor.Answer(false, false), nullptr);
  EXPECT_EQ(cursor.Current(), 2);
  EXPECT_EQ(cursor.Answer(true, true), list.ItemAt(3));
  EXPECT_EQ(cursor.Answer(false, true), list.ItemAt(3));
  EXPECT_EQ(cursor.Current(), 3);
  EXPECT_EQ(cursor.Offset(), 1);
  // At the end nothing follows and the cursor stays.
  EXPECT_EQ(cursor.Answer(true, true), nullptr);
  EXPECT_EQ(cursor.Answer(false, true), nullptr);
  EXPECT_EQ(cursor.Current(), 3);
  cursor.Clear();
  EXPECT_FALSE(cursor.Active());
  EXPECT_EQ(cursor.CurrentItem(), nullptr);
}

}  // namespace
}  // namespace ov
