#include "app/engine/AsioDriverList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>

#include "app/engine/AsioTexts.h"

namespace ov::asio {
namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Hand-made registry contents; class keys are matched without regard to case,
// as the system's registry does.
class FakeRegistry : public AsioRegistry {
 public:
  std::vector<std::string> keys;
  std::map<std::string, std::map<std::string, std::string>> values;
  std::map<std::string, std::string> servers;  // lower-case class id -> path
  std::vector<std::string> files;

  std::vector<std::string> DriverKeys() override { return keys; }
  bool DriverValue(const std::string& key, const char* name, std::string& out) override {
    auto k = values.find(key);
    if (k == values.end()) return false;
    auto v = k->second.find(name);
    if (v == k->second.end()) return false;
    out = v->second;
    return true;
  }
  bool ServerPath(const std::string& id, std::string& out) override {
    auto s = servers.find(Lower(id));
    if (s == servers.end()) return false;
    out = s->second;
    return true;
  }
  bool FileExists(const std::string& p) override {
    return std::find(files.begin(), files.end(), p) != files.end();
  }
  void Add(const std::string& key, const std::string& clsid, const std::string& description,
           const std::string& server, bool fileExists = true) {
    keys.push_back(key);
    if (!clsid.empty()) values[key]["clsid"] = clsid;
    if (!description.empty()) values[key]["description"] = description;
    if (!server.empty()) servers[Lower(clsid)] = server;
    if (fileExists) files.push_back(server);
  }
};

std::string Clsid(int n) {
  char b[40];
  std::snprintf(b, sizeof b, "{%08X-1234-5678-9ABC-DEF012345678}", n);
  return b;
}

TEST(AsioClassId, ParsesEitherCaseAndRefusesMalformedTexts) {
  ClassId a, b;
  ASSERT_TRUE(ParseClassId("{0123ABCD-4567-89ef-0a1B-2c3d4e5f6071}", a));
  EXPECT_EQ(a.data1, 0x0123ABCDu);
  EXPECT_EQ(a.data2, 0x4567);
  EXPECT_EQ(a.data3, 0x89EF);
  EXPECT_EQ(a.data4[0], 0x0A);
  EXPECT_EQ(a.data4[1], 0x1B);
  EXPECT_EQ(a.data4[7], 0x71);
  ASSERT_TRUE(ParseClassId("{0123abcd-4567-89EF-0A1b-2C3D4E5F6071}", b));
  EXPECT_TRUE(a == b);
  for (const char* bad :
       {"", "not a guid", "0123ABCD-4567-89ef-0a1B-2c3d4e5f6071",
        "{0123ABCD-4567-89ef-0a1B-2c3d4e5f607}", "{0123ABCD-4567-89ef-0a1B+2c3d4e5f6071}",
        "{0123ABCG-4567-89ef-0a1B-2c3d4e5f6071}"}) {
    EXPECT_FALSE(ParseClassId(bad, a)) << bad;
  }
}

TEST(AsioDriverList, ListsOnlyUsableEntriesInRegistryOrder) {
  FakeRegistry r;
  r.Add("First", Clsid(1), "First Driver", "C:\\a.dll");
  r.Add("Missing File", Clsid(2), "", "C:\\gone.dll", false);
  r.Add("No Description", Clsid(3), "", "C:\\c.dll");
  r.Add("No Clsid", "", "x", "");
  r.Add("Bad Clsid", "{nonsense}", "x", "C:\\d.dll");
  r.Add("Unregistered", Clsid(4), "x", "");
  r.Add("Directory", Clsid(5), "x", "C:\\dir", false);  // the seam says a directory is no file
  r.Add("Case", Lower(Clsid(6)), "Lower Case Class", "");
  r.servers[Lower(Clsid(6))] = "C:\\e.dll";
  r.files.push_back("C:\\e.dll");
  const std::vector<AsioDriverEntry> list = ReadAsioDrivers(r);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].name, "First Driver");
  EXPECT_EQ(list[0].index, 0);
  EXPECT_EQ(list[1].name, "No Description");
  EXPECT_EQ(list[1].index, 1);
  EXPECT_EQ(list[2].name, "Lower Case Class");
  ClassId expected;
  ParseClassId(Clsid(1), expected);
  EXPECT_TRUE(list[0].classId == expected);
}

TEST(AsioDriverList, NamesAreLimitedInTheListAndCutInTheTable) {
  FakeRegistry r;
  r.Add("k", Clsid(1), std::string(200, 'n'), "C:\\a.dll");
  const std::string forty = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn";
  for (int i = 2; i <= 12; ++i)
    r.Add("k" + std::to_string(i), Clsid(i), i == 2 ? forty : "", "C:\\a.dll");
  const std::vector<AsioDriverEntry> list = ReadAsioDrivers(r);
  ASSERT_EQ(list.size(), 12u);
  EXPECT_EQ(list[0].name.size(), kMaxDriverName);
  const std::vector<std::string> table = DriverNameTable(list, 10);
  ASSERT_EQ(table.size(), 10u);
  EXPECT_EQ(table[1], forty.substr(0, 28) + "...");
  EXPECT_EQ(table[2], "k3");
  EXPECT_EQ(CutDriverName(std::string(31, 'x')), std::string(31, 'x'));
  EXPECT_EQ(CutDriverName(std::string(32, 'x')), std::string(28, 'x') + "...");
}

TEST(AsioTexts, FailureAndInformationTexts) {
  EXPECT_EQ(UnsupportedBitLengthText(true, 32), "Unsupported bit length. [F32]");
  EXPECT_EQ(UnsupportedBitLengthText(false, 16), "Unsupported bit length. [16]");
  EXPECT_EQ(UnsupportedSampleTypeText(19), "ASIO Error: Unsupported sample type 19");
  EXPECT_EQ(UnableToSetRateText(48000), "Unable to set sampling freq. to [48000]");
  AsioInfo i;
  i.driverName = "Test";
  i.inputs = 2;
  i.outputs = 4;
  i.rate = 48000;
  i.driverBits = 24;
  i.firstType = 17;
  i.bufMin = 64;
  i.bufMax = 2048;
  i.bufPreferred = 256;
  i.bufGranularity = -1;
  i.inputLatency = 256;
  i.outputLatency = 512;
  EXPECT_EQ(InfoText(i),
            "========= ASIO Information =========\n[ Test ]\n\n"
            "Input Channels:\t 2\nOutput Channels:\t 4\n"
            "Sample Rate:\t 48000\nBits/Sample:\t 24  (type:17)\n"
            "Buffer size min:\t 64\n               max:\t 2048\n        preferred:\t 256\n"
            "       granuarity:\t -1\n"
            "Input Latency:\t 256  (5.3ms)\nOutput Latency:\t 512  (10.7ms)\n"
            "OutputReady support:  no");
}

}  // namespace
}  // namespace ov::asio
