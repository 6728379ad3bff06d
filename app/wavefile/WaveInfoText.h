// The texts of the wave file information window, built from a chunk table
// alone: the chunk tree, the fields and hex/text dump of a node, the decoded
// view of the chunk kinds it knows, the file summary and the summary fields.
// Everything is plain bytes as the file holds them; TextEncoding says how a
// text is to be decoded for display (the window through the W API, ovtool
// into UTF-8).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/common/UserNotifier.h"
#include "app/wavefile/WaveFileRecords.h"

namespace ov {

// The character code of the dump's text column (CharCodeComboBox order).
enum class CharCode { Ascii = 0, ShiftJis = 1, Utf8 = 2 };

// How the bytes of a text are decoded for display.
enum class TextEncoding { SystemAnsi, ShiftJis, Utf8 };

// One tree node: 0 is the root (the file header), k >= 1 chunk table entry
// k - 1.
struct ChunkNode {
  int32_t index = 0;
  int32_t parent = -1;  // -1 for the root
  int32_t depth = 0;    // 0 for the root
  std::string id;       // four characters as stored (zero bytes shown as spaces)
};

// The root plus one node per entry; parents by nesting level: a level-1
// chunk hangs on the root, a deeper one on the last node one level up.
std::vector<ChunkNode> BuildChunkTree(const ChunkTable& table);

struct NodeView {
  std::string name;    // ChunkNameStaticText: " " + ID
  std::string offset;  // ChunkOffsetStaticText: " 0x%08X"
  std::string size;    // ChunkSizeStaticText: " %s (0x%08X)"
  std::string ruler1;  // TopLabel1
  std::string memo1;   // Memo1: the dump
  TextEncoding memo1Encoding = TextEncoding::SystemAnsi;
  std::string ruler2;  // TopLabel2: "[contents]" or the dump ruler
  std::string memo2;   // Memo2: summary, data-end dump, decoded view or empty
  TextEncoding memo2Encoding = TextEncoding::SystemAnsi;
  bool memo2Horizontal = false;  // Memo2 wants a horizontal scroll bar too
  size_t dumpBytes = 0;          // bytes dumped (the busy cursor above 5000)
  // The program's own notes are UTF-8 whatever the encoding of the bytes
  // around them: memo1 from memo1NotesFrom to its end (npos: none), memo2
  // from its start to memo2NotesEnd.
  size_t memo1NotesFrom = std::string::npos;
  size_t memo2NotesEnd = 0;
};

// The three summary fields; empty when the format is unknown.
struct SummaryFields {
  std::string format;   // " %dHz %s%dbit %dch", or " %dHz %dch" for MPEG layer 3
  std::string samples;  // " %s"
  std::string time;     // " %02dh%02dm%02ds%03d"
};

struct WaveInfoOptions {
  CharCode code = CharCode::Ascii;
  Language language = Language::English;
  std::string thousandsSeparator = ",";
  // At most this many bytes of one chunk are dumped, then a note.
  size_t dumpLimit = size_t{1} << 20;
};

constexpr const char kDumpRuler[] =
    "--offset--: 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 0123456789ABCDEF";
constexpr size_t kBusyCursorBytes = 5000;

// The view of node k (0 = root); an index outside the tree gives empty texts.
NodeView BuildNodeView(const ChunkTable& table, int32_t node, const WaveInfoOptions& options);

SummaryFields BuildSummaryFields(const ChunkTable& table, std::string_view thousandsSeparator);

// A deep copy of table (entries with their content, the data tail): the
// window keeps its own copy, taken on the main thread from a table the engine
// has published whole, so a later re-parse on a pump thread cannot free what
// it shows. Null when the memory cannot be had.
std::unique_ptr<ChunkTable> CopyChunkTable(const ChunkTable& table);

// The building blocks, exposed for tests.
// value in decimal with separator every three digits.
std::string GroupedDecimal(uint64_t value, std::string_view separator);
// bytes[0 .. count) lying at file offset, as 16-byte dump lines (no notes).
void AppendDump(std::string& out, const uint8_t* bytes, size_t count, uint64_t offset,
                CharCode code);
// The root's file summary.
std::string FileSummaryText(const ChunkTable& table, std::string_view separator);
// The decoded view of entry (empty when its kind has none); utf8 is set when
// the view is decoded from UTF-8 under that character code.
std::string DecodedView(const ChunkTable& table, int32_t entryIndex, std::string_view separator,
                        bool& utf8, bool& horizontal);

}  // namespace ov
