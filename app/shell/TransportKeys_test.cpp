#include "app/shell/TransportKeys.h"

#include <gtest/gtest.h>

namespace ov {
namespace {

KeyPress Space() {
  return KeyPress{kKeySpace, false, false};
}

TEST(TransportKeys, SpaceTakesPauseOverPlayOverRecord) {
  TransportAbility a;
  EXPECT_EQ(TranslateTransportKey(Space(), a).key, kKeySpace);  // nothing possible
  a.canRecord = true;
  KeyPress k = TranslateTransportKey(Space(), a);
  EXPECT_EQ(k.key, static_cast<uint32_t>('R'));
  EXPECT_TRUE(k.ctrl);
  a.canPlay = true;
  EXPECT_EQ(TranslateTransportKey(Space(), a).key, static_cast<uint32_t>('P'));
  a.canPause = true;
  EXPECT_EQ(TranslateTransportKey(Space(), a).key, static_cast<uint32_t>('U'));
  // Typing a comment: the blank stays a blank.
  a.commentFocus = true;
  k = TranslateTransportKey(Space(), a);
  EXPECT_EQ(k.key, kKeySpace);
  EXPECT_FALSE(k.ctrl);
  // Shift stays with the translated key (Shift+Play: the analyze mode).
  a.commentFocus = false;
  a.canPause = false;
  k = TranslateTransportKey(KeyPress{kKeySpace, false, true}, a);
  EXPECT_EQ(CommandOfKey(k, false), KeyCommand::Play);
  EXPECT_TRUE(k.shift);
}

TEST(TransportKeys, EscStopsOnlyWhenStopIsPossible) {
  TransportAbility a;
  EXPECT_EQ(CommandOfKey(TranslateTransportKey({kKeyEscape, false, false}, a), false),
            KeyCommand::None);
  a.canStop = true;
  EXPECT_EQ(CommandOfKey(TranslateTransportKey({kKeyEscape, false, false}, a), false),
            KeyCommand::Stop);
}

TEST(TransportKeys, TheKeyTable) {
  const struct {
    char key;
    KeyCommand command;
  } ctrl[] = {
      {'C', KeyCommand::CopyScreen},    {'D', KeyCommand::Divide}, {'L', KeyCommand::ToggleChannel},
      {'M', KeyCommand::ToggleMeasure}, {'O', KeyCommand::Open},   {'P', KeyCommand::Play},
      {'R', KeyCommand::Record},        {'S', KeyCommand::Stop},   {'T', KeyCommand::Setup},
      {'U', KeyCommand::Pause},         {'X', KeyCommand::None}};
  for (const auto& c : ctrl) {
    EXPECT_EQ(CommandOfKey({static_cast<uint32_t>(c.key), true, false}, false), c.command) << c.key;
    // Ctrl+Shift is still the Ctrl command.
    EXPECT_EQ(CommandOfKey({static_cast<uint32_t>(c.key), true, true}, true), c.command) << c.key;
  }
  const struct {
    char key;
    KeyCommand command;
  } shift[] = {{'1', KeyCommand::Overlay1},     {'2', KeyCommand::Overlay2},
               {'A', KeyCommand::NextAverage},  {'C', KeyCommand::CaptureOverlay1},
               {'L', KeyCommand::LoadOverlay1}, {'M', KeyCommand::MainSpectrum},
               {'P', KeyCommand::PeakHold},     {'R', KeyCommand::Rms},
               {'S', KeyCommand::SaveOverlay1}, {'T', KeyCommand::Thd}};
  for (const auto& c : shift) {
    EXPECT_EQ(CommandOfKey({static_cast<uint32_t>(c.key), false, true}, true), c.command) << c.key;
    // Outside the measure mode Shift+P and the others do nothing.
    EXPECT_EQ(CommandOfKey({static_cast<uint32_t>(c.key), false, true}, false), KeyCommand::None)
        << c.key;
    EXPECT_EQ(CommandOfKey({static_cast<uint32_t>(c.key), false, false}, true), KeyCommand::None)
        << c.key;
  }
  EXPECT_EQ(CommandOfKey({'O', false, true}, false), KeyCommand::PlayList);
  EXPECT_EQ(CommandOfKey({kKeyF1, false, false}, false), KeyCommand::Help);
  EXPECT_EQ(CommandOfKey({kKeySpace, false, false}, true), KeyCommand::None);
}

}  // namespace
}  // namespace ov
