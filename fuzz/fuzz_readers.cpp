// Feeds arbitrary bytes to every reader of the format table and, when one accepts them, runs the
// evaluation and every writer (in memory): nothing may crash, hang or allocate without bound.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string_view>

#include "model/format_table.h"
#include "model/lum32.h"
#include "photometry/evaluation.h"
#include "support/messages.h"

namespace {

class SilentSink : public lumatra::MessageSink {
 public:
  void ShowError(std::string_view) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static SilentSink sink;
  lumatra::SetMessageSink(&sink);
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const lumatra::ReaderEntry& reader : lumatra::Readers()) {
    lumatra::TLUM32 rec;
    rec.SetFileName("fuzz.input");
    std::uint8_t code = reader.code;
    try {
      if (!reader.parse(rec, bytes, code)) continue;
      lumatra::CalcFlux(rec);
      rec.FindPeak();
      for (float c : {0.0f, 45.0f, 90.0f, 200.0f, 359.0f})
        for (float g : {0.0f, 30.0f, 90.0f, 180.0f})
          (void)rec.Intensity(c, g);
    } catch (const std::exception&) {
      // Readers may refuse by exception (arithmetic in a declared step); never by crashing.
    }
  }
  return 0;
}
