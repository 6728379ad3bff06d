#include "app/shell/Kp05Binding_win.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ov {
namespace {

class RecordingNotifier : public UserNotifier {
 public:
  NoticeAnswer Notify(std::string_view text, NoticeIcon icon) override {
    texts.emplace_back(text);
    icons.push_back(icon);
    return NoticeAnswer::Ok;
  }
  std::vector<std::string> texts;
  std::vector<NoticeIcon> icons;
};

// The build puts the real library beside this program and a copy lacking
// some entries into the folder "missing_entry".
TEST(Kp05Binding, BindsTheRealLibraryAndRunsItsPlans) {
  RecordingNotifier notifier;
  Kp05Binding binding(notifier);
  ASSERT_TRUE(binding.Load());
  EXPECT_TRUE(notifier.texts.empty());
  const Kp05Api& api = binding.Api();
  ASSERT_NE(api.DLL_PrepareCoordinatesSub, nullptr);

  ASSERT_NE(api.Create_FFT(1024, 1, 1), nullptr);
  ASSERT_NE(api.Create_FFT8(0), nullptr);
  ASSERT_NE(api.Create_FFT4(0), nullptr);
  double impulse[16] = {1.0};
  EXPECT_EQ(api.FFT_fft8(impulse, 0), 0);
  for (int k = 0; k < 8; ++k) EXPECT_EQ(impulse[2 * k], 0.125) << k;
  std::vector<double> ones(1026, 1.0);
  api.FFT_WeightWindow(ones.data(), 1);
  EXPECT_EQ(ones[0], 0.0);
  EXPECT_EQ(ones[512], 1.0);

  api.Release_FFT();
  api.Release_FFT8();
  api.Release_FFT4();
  // Released plans leave the fixed families empty: a transform changes nothing.
  double untouched[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  api.FFT_fft4(untouched, 0);
  EXPECT_EQ(untouched[7], 8.0);
  binding.Unload();
  EXPECT_FALSE(binding.IsLoaded());
  EXPECT_TRUE(notifier.texts.empty());
}

TEST(Kp05Binding, MissingLibraryIsReportedWithTheLoadError) {
  RecordingNotifier notifier;
  Kp05Binding binding(notifier);
  EXPECT_FALSE(binding.LoadFrom(Kp05Binding::ProgramFolder() + L"no_such_folder\\"));
  ASSERT_EQ(notifier.texts.size(), 1u);
  EXPECT_EQ(notifier.texts[0], "Unable to load 'KP05DLL.DLL'. \n\n  (LoadLibrary: 126)");
  EXPECT_EQ(notifier.icons[0], NoticeIcon::Warning);
  EXPECT_FALSE(binding.IsLoaded());
}

TEST(Kp05Binding, FirstMissingEntryInBindingOrderIsNamed) {
  RecordingNotifier notifier;
  Kp05Binding binding(notifier);
  EXPECT_FALSE(binding.LoadFrom(Kp05Binding::ProgramFolder() + L"missing_entry\\"));
  ASSERT_EQ(notifier.texts.size(), 1u);
  EXPECT_EQ(notifier.texts[0],
            "Unable to find DLL entry. \n _FFT_fft64@8\n\n (GetProcAddress: 127)");
  EXPECT_EQ(notifier.icons[0], NoticeIcon::Warning);
  EXPECT_FALSE(binding.IsLoaded());
  EXPECT_EQ(binding.Api().Create_FFT, nullptr);
}

}  // namespace
}  // namespace ov
