// Setting the text view's model to a dump-sized text: 65 537 lines of 78
// characters (about 5 million characters), the size of a 1 MiB chunk's hex
// and text dump. The window sets it on every node it shows.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "app/controls/TextViewModel.h"

namespace {

std::wstring DumpSizedText() {
  std::wstring text;
  wchar_t line[96];
  for (int i = 0; i < 65536; ++i) {
    std::swprintf(line, 96,
                  L"%010X: 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F "
                  L"\x30C7\x30FC\x30BF abcdefghij\r\n",
                  i * 16);
    text += line;
  }
  return text + L"end";
}

void BM_TextViewSetText(benchmark::State& state) {
  const std::wstring text = DumpSizedText();
  ov::TextViewModel model;
  for (auto _ : state) {
    model.SetText(text);
    benchmark::DoNotOptimize(model.LineCount());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(text.size()));  // characters
  state.counters["lines"] = static_cast<double>(model.LineCount());
}
BENCHMARK(BM_TextViewSetText)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
