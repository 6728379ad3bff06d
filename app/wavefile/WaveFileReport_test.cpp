#include "app/wavefile/WaveFileReport.h"

#include <gtest/gtest.h>

#include <memory>

namespace ov {
namespace {

TEST(WaveFileReport, JsonStringsStayValidForAnyBytes) {
  EXPECT_EQ(JsonString("plain"), "\"plain\"");
  EXPECT_EQ(JsonString("a\"b\\c"), "\"a\\\"b\\\\c\"");
  EXPECT_EQ(JsonString("\n\x01"), "\"\\u000a\\u0001\"");
  // Valid UTF-8 passes through; stray bytes become one escape each.
  EXPECT_EQ(JsonString("\xCE\xA9 \xE3\x81\x82"), "\"\xCE\xA9 \xE3\x81\x82\"");
  EXPECT_EQ(JsonString("Caf\xE9"), "\"Caf\\u00e9\"");
  EXPECT_EQ(JsonString("\xCE"), "\"\\u00ce\"");                        // cut sequence
  EXPECT_EQ(JsonString("\xC0\xAF"), "\"\\u00c0\\u00af\"");             // overlong '/'
  EXPECT_EQ(JsonString("\xED\xA0\x80"), "\"\\u00ed\\u00a0\\u0080\"");  // surrogate
  EXPECT_EQ(JsonString(std::string_view("a\0b", 3)), "\"a\\u0000b\"");
}

TEST(WaveFileReport, GuidTextUsesTheStoredByteOrder) {
  EXPECT_EQ(GuidText(kSubFormatIeeeFloat), "00000003-0000-0010-8000-00aa00389b71");
}

TEST(WaveFileReport, JsonCarriesEveryKey) {
  auto chunks = std::make_unique<ChunkTable>();
  MarkerTable markers;
  chunks->count = 1;
  chunks->valid = 1;
  chunks->fileSize = 1000;
  ChunkEntry& e = chunks->entries[0];
  e.index = 1;
  e.level = 1;
  e.headerOffset = 12;
  std::memcpy(e.id, "LIST", 4);
  std::memcpy(e.listType, "adtl", 4);
  e.size = 30;
  e.length = 30;
  markers.count = 1;
  std::memcpy(markers.markers[0].label, "Intro \xFF", 7);
  markers.markers[0].cueId = 7;
  markers.markers[0].position = 4410;
  WaveFileReport r;
  r.file = "x.wav";
  r.ok = true;
  r.info.dataOffset = 44;
  r.info.dataSize = 900;
  r.format.formatTag = 1;
  r.format.channels = 2;
  r.chunks = chunks.get();
  r.markers = &markers;
  const std::string json = ReportJson(r);
  for (const char* key :
       {"\"file\":\"x.wav\"", "\"ok\":true", "\"message\":\"\"", "\"valid\":true", "\"rf64\":false",
        "\"bext\":false", "\"fileSize\":1000", "\"dataOffset\":44", "\"dataSize\":900",
        "\"floatWidth\":0", "\"format\":{\"tag\":1,\"channels\":2,",
        "\"subFormat\":\"00000000-0000-0000-0000-000000000000\"",
        "\"chunks\":[{\"index\":1,\"level\":1,\"offset\":12,\"id\":\"LIST\",\"size\":30,"
        "\"listType\":\"adtl\",\"length\":30}]",
        "\"markers\":[{\"label\":\"Intro \\u00ff\",\"cueId\":7,\"position\":4410,\"length\":0}]"}) {
    EXPECT_NE(json.find(key), std::string::npos) << key << "\n" << json;
  }
  EXPECT_EQ(json.find('\n'), std::string::npos);
}

}  // namespace
}  // namespace ov
