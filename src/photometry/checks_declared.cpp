// What a file declares against what its table gives: EULUMDAT's light output ratio, downward
// flux fraction and direct ratios, the lamp flux, and more light out than the lamps give.
#include <algorithm>
#include <cmath>
#include <string>

#include "model/lum32.h"
#include "photometry/checks.h"
#include "photometry/litg.h"
#include "support/findings.h"

namespace lumatra {

namespace {

// Above 2 % relative difference a warning. Conversions take the table's value, which they keep,
// so a declared value that disagrees is wrong text rather than lost data: a warning at any size.
// `floor` keeps small values (a DFF of 0.3 %) from turning rounding into large differences.
void CompareDeclared(Findings& findings, std::string_view code, const char* what, double declared,
                     long double computed, long double floor, std::size_t line) {
  const long double difference =
      std::fabs(declared - computed) / std::max(std::fabs(computed), floor);
  if (difference <= 0.02L) return;
  findings.Add(code, Severity::kWarning,
               std::string(what) + " is declared as " + Brief(declared) + " %, the table gives " +
                   Brief(computed) + " % (" + Brief(100 * difference) + " % apart)",
               line);
}

void CheckDirectRatios(const TLUM32& rec, const DeclaredValues& declared, Findings& findings) {
  if (!declared.direct_ratios || rec.LOR == 0) return;
  const auto& ratios = *declared.direct_ratios;
  if (std::all_of(ratios.begin(), ratios.end(), [&](double r) { return r == ratios[0]; })) {
    findings.Add("declared.direct-ratios-placeholder", Severity::kNote,
                 "all ten direct ratios are " + Brief(ratios[0]) + ": placeholders, not values",
                 declared.direct_ratios_line);
    return;
  }
  long double largest = 0;
  std::size_t at = 0;
  for (std::size_t k = 0; k < 10; ++k) {
    const long double computed = rec.DirectRatio[k] / (10.0L * rec.LOR);
    const long double difference = std::fabs(ratios[k] - computed);
    if (difference > largest) largest = difference, at = k;
  }
  if (largest > 0.05L)
    findings.Add("declared.direct-ratios", Severity::kWarning,
                 "direct ratio for room index " + std::string(kRoomIndexNames[at]) +
                     " is declared as " + Brief(ratios[at]) + ", the table gives " +
                     Brief(rec.DirectRatio[at] / (10.0L * rec.LOR)) + " by the LiTG method",
                 declared.direct_ratios_line + at);
}

// Relative photometry is per 1000 lm of lamp flux: a luminaire cannot give out more. The table
// converts as it stands, so this is reported as a warning.
void CheckLightOutput(const TLUM32& rec, Findings& findings) {
  if (rec.AbsolutePhotometry || rec.LOR <= 100.5f) return;
  std::string message = "the table gives " + Brief(rec.LOR) +
                        " % of the lamp flux: more light out of the luminaire than the lamps give";
  if (rec.LOR > 1000) message += "; the table is probably in candela, not cd/klm";
  findings.Add("flux.exceeds-lamps", Severity::kWarning, std::move(message));
}

void CheckLampFlux(const TLUM32& rec, Findings& findings) {
  const std::size_t sets = std::max<std::size_t>(1, std::min<std::size_t>(rec.NumLampSets, 5));
  for (std::size_t k = 0; k < sets; ++k) {
    const LampSetData& set = rec.LampSet[k];
    const std::string which = sets > 1 ? " of lamp set " + std::to_string(k + 1) : "";
    if (!(set.TotalFlux > 0)) {
      findings.Add("fields.lamp-flux", Severity::kWarning,
                   "lamp flux" + which + " is " + Brief(set.TotalFlux) + " lm");
      continue;
    }
    const long double lamps = rec.LampCount(k);
    const long double product = lamps * set.FluxPerLamp;
    if (lamps > 0 && std::fabs(product - set.TotalFlux) > 0.001L * set.TotalFlux)
      findings.Add("fields.lamp-flux", Severity::kWarning,
                   "total lamp flux" + which + " " + Brief(set.TotalFlux) + " lm is not " +
                       Brief(lamps) + " lamps x " + Brief(set.FluxPerLamp) + " lm");
  }
}

}  // namespace

void CheckDeclared(const TLUM32& rec, Findings& findings) {
  const DeclaredValues declared = findings.declared;
  if (rec.LumFlux > 0 && !rec.AbsolutePhotometry) {
    if (declared.lor_percent)
      CompareDeclared(findings, "declared.lor", "light output ratio", *declared.lor_percent,
                      rec.LOR, 1, declared.lor_line);
    if (declared.dff_percent)
      CompareDeclared(findings, "declared.dff", "downward flux fraction", *declared.dff_percent,
                      100.0L * rec.DFF, 5, declared.dff_line);
    CheckDirectRatios(rec, declared, findings);
  }
  CheckLightOutput(rec, findings);
  CheckLampFlux(rec, findings);
}

}  // namespace lumatra
