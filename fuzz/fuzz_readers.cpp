// Feeds arbitrary bytes to every reader of the format table and, when one accepts them, runs the
// evaluation and every writer (in memory): nothing may crash, hang or allocate without bound.
// Each reader runs a second time with a findings collector, followed by the checks of the data
// and a comparison of the record with itself, as `lumatra-cli check` and `compare` run them.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string_view>

#include "app/format_table.h"
#include "model/lum32.h"
#include "photometry/checks.h"
#include "photometry/comparison.h"
#include "photometry/evaluation.h"
#include "photometry/litg.h"
#include "support/findings.h"
#include "support/messages.h"

namespace {

class SilentSink : public lumatra::MessageSink {
 public:
  void ShowError(std::string_view) override {}
};

// A writer refuses what its format cannot hold by throwing; it must never crash. The writers
// share the record, as the formats of one batch would in turn.
void WriteEveryFormat(lumatra::TLUM32& rec) {
  for (const lumatra::FormatRow& format : lumatra::Formats()) {
    if (!format.write) continue;
    try {
      (void)format.write(rec, format.code);
    } catch (const std::exception&) {
    }
  }
}

void CheckWithFindings(const lumatra::FormatRow& format, std::string_view bytes) {
  lumatra::TLUM32 rec;
  rec.SetFileName("fuzz.input");
  lumatra::Findings findings;
  std::uint8_t code = format.code;
  try {
    if (!format.read(rec, bytes, code, &findings)) return;
    rec.FileFormat = code;
    rec.Loaded = 1;
    lumatra::CalcFlux(rec);
    rec.FindPeak();
    lumatra::CalcDirectRatios(rec);
    lumatra::CheckEvaluated(rec, findings);
    (void)lumatra::CompareRecords(rec, rec);
  } catch (const std::exception&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static SilentSink sink;
  lumatra::SetMessageSink(&sink);
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const lumatra::FormatRow& format : lumatra::Formats()) {
    if (!format.read) continue;
    lumatra::TLUM32 rec;
    rec.SetFileName("fuzz.input");
    std::uint8_t code = format.code;
    try {
      CheckWithFindings(format, bytes);
      if (!format.read(rec, bytes, code, nullptr)) continue;
      rec.FileFormat = code;
      rec.Loaded = 1;
      lumatra::CalcFlux(rec);
      rec.FindPeak();
      for (float c : {0.0f, 45.0f, 90.0f, 200.0f, 359.0f})
        for (float g : {0.0f, 30.0f, 90.0f, 180.0f})
          (void)rec.Intensity(c, g);
    } catch (const std::exception&) {
      continue;  // readers may refuse by exception (arithmetic in a declared step)
    }
    WriteEveryFormat(rec);
  }
  return 0;
}
