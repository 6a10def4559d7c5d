#include "app/pipeline.h"

#include <cmath>

#include "app/conversion_log.h"
#include "app/format_table.h"
#include "model/lum32.h"
#include "photometry/litg.h"
#include "photometry/resample.h"
#include "photometry/transforms.h"
#include "support/rounding.h"
#include "support/text_fields.h"

namespace lumatra {

namespace {

void SetLabelField(TLUM32& rec, std::uint8_t field, const std::string& text) {
  switch (field) {
    case kLabelCompany:
      rec.Company = text;
      break;
    case kLabelReportNo:
      rec.ReportNo2 = text;
      break;
    case kLabelLumName:
      rec.LumName = text;
      break;
    case kLabelLumNumber:
      rec.LumNumber = text;
      break;
    case kLabelDateUser:
      rec.DateUser = text;
      break;
    case kLabelLampType:
      rec.LampSet[0].LampType = text;
      break;
    default:  // 0 not used; the dialog's empty eighth item (7) is not used either
      break;
  }
}

// The B-beta front end reads the lower half space only, so gamma 0..90 holds all of the data.
void ConvertToCPlanes(TLUM32& rec) {
  const float s = std::fabs(rec.CStep) > 0 ? std::fabs(rec.CStep) : 1.0f;
  ConvertToCGamma(rec, rec.Symmetry, 90.0f, 0.0f, s, 15.0f);
}

void ExtendGammaTo90Or180(TLUM32& rec) {
  if (RoundHalfEven(10.0L * rec.GLast) < 900) ExtendGamma(rec, 90.0f);
  const auto g = RoundHalfEven(10.0L * rec.GLast);
  if (g > 900 && g < 1800) ExtendGamma(rec, 180.0f);
}

void RestoreLor(TLUM32& rec, float lor0) {
  // A source whose LOR evaluated to 0 has nothing to restore; scaling by 0 would erase it.
  if (RoundHalfEven(10.0L * rec.LOR) > 0 && RoundHalfEven(10.0L * lor0) > 0 && rec.LOR != lor0)
    ScaleIntensities(rec, static_cast<float>(static_cast<long double>(lor0) / rec.LOR));
}

}  // namespace

void CopyLabelLines(TLUM32& rec, const ConversionSettings& settings) {
  if (!rec.LabelLines) return;
  // Selector i of the settings dialog belongs to label line i (the i-th header line).
  for (int i = 1; i <= 6; ++i) {
    const std::uint8_t field = LabelLineSetting(settings, i);
    if (field != kLabelNotUsed && rec.LabelLines->size() >= static_cast<std::size_t>(i))
      SetLabelField(rec, field, (*rec.LabelLines)[i - 1]);
  }
}

void TurnPlanes(TLUM32& rec) {
  // RotateGrid only turns loaded C-gamma records; the luminous area turns with the planes.
  if (!rec.Loaded || rec.PhotSystem != kSystemC) return;
  RotateGrid(rec, 90.0f, 0.0f, 0.0f);
  AreaDims& a = rec.AreaDim;
  const std::uint16_t length = a.Length;  // packed fields: no references, so no std::swap
  a.Length = a.Width;
  a.Width = length;
  a.HeightC0 = static_cast<std::uint16_t>(
      (int{a.HeightC0} + int{a.HeightC90} + int{a.HeightC180} + int{a.HeightC270}) / 4);
}

void RunPipeline(TLUM32& rec, std::uint8_t target_code, std::uint8_t source_code, float lor0,
                 const ConversionSettings& s, const MarkerSink& mark) {
  const FormatRow* target = FindFormat(target_code);
  const std::uint8_t needs = target ? target->needs : 0;

  // 1. Header texts of 1986 sources first, so a label line mapped to line 1 counts as a maker.
  if ((needs & kNeedsLabelLines) && source_code == kFormatIes86) CopyLabelLines(rec, s);
  // 2. B/A planes to C planes before any transform: they all work on C-gamma tables only.
  if (rec.PhotSystem != kSystemC && (needs & kNeedsCPlanes)) {
    ConvertToCPlanes(rec);
    mark(kMarkConvertedBC);
  }
  // 3. The first text line (EULUMDAT's maker) after the label lines, which may have filled it.
  if ((needs & kNeedsCompanyLine) && (s.EUV1 || Trim(rec.Company.view()).empty()))
    rec.Company = std::string_view(s.EUL1).substr(0, kSettingTextMax);
  // 4. New grid before the rotation, which keeps the C step it finds.
  const float c_step = CStepForIndex(s.PLANES), g_step = GammaStepForIndex(s.ANGLES);
  if (c_step != 0 || g_step != 0) {  // indices without a table entry keep the grid
    ChangeGrid(rec, c_step, g_step);
    mark(kMarkRedimensioned);
  }
  // 5. Turn before the symmetry change, so the symmetry applies to the turned planes.
  if (s.TURN) TurnPlanes(rec);
  // 6. Symmetry after every resampling that unfolds it.
  if (s.SYMM >= 1 && s.SYMM <= 5) ChangeSymmetry(rec, s.SYMM - 1, true);
  // 7. A gamma range ending at 90 or 180 (IES); the steps above may have changed it.
  if (needs & kNeedsGammaTo90Or180) ExtendGammaTo90Or180(rec);
  // 8. Output options for the writers.
  rec.UnformattedOutput = s.unformat;
  rec.DuplicateC0AsC360 = s.use360;
  rec.WriteTM2Data = s.CIBS2;
  // 9. Every resampling shifts the integrated flux a little: restore the LOR after all of them.
  RestoreLor(rec, lor0);
  // 10. Direct ratios last, from the final table and flux.
  CalcDirectRatios(rec);
}

}  // namespace lumatra
