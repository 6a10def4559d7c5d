// Checks of the descriptive fields a lighting design relies on: dimensions, lamps, wattage,
// colour.
#include <algorithm>
#include <string>

#include "model/lum32.h"
#include "photometry/checks.h"
#include "support/findings.h"

namespace lumatra {

namespace {

// Largest extent in millimetres of a rectangle (length x width) or a circle (diameter).
long double Extent(std::uint16_t length, std::uint16_t width, std::uint16_t diameter) {
  return std::max({length, width, diameter});
}

void CheckDimensions(const TLUM32& rec, Findings& findings) {
  const LuminaireDims& lum = rec.LumDim;
  const AreaDims& area = rec.AreaDim;
  const long double lum_extent = Extent(lum.Length, lum.Width, lum.Diameter);
  const long double area_extent = Extent(area.Length, area.Width, area.Diameter);
  if (lum_extent == 0)
    findings.Add("fields.luminaire-size", Severity::kWarning,
                 "luminaire length, width and diameter are 0");
  if (area_extent == 0)
    findings.Add("fields.area-size", Severity::kWarning,
                 "luminous area length, width and diameter are 0");
  if (lum_extent > 0 && area_extent > lum_extent)
    findings.Add("fields.area-larger", Severity::kWarning,
                 "luminous area (" + Brief(area_extent) + " mm) is larger than the luminaire (" +
                     Brief(lum_extent) + " mm)");
}

// The formats that carry colour data: EULUMDAT, the IES keyword editions, L32.
bool CarriesColour(std::uint8_t format) {
  return format == kFormatEulumdat || format == kFormatIes02 || format == kFormatIes19 ||
         format == kFormatL32;
}

void CheckLamps(const TLUM32& rec, Findings& findings) {
  const std::size_t sets = std::max<std::size_t>(1, std::min<std::size_t>(rec.NumLampSets, 5));
  for (std::size_t k = 0; k < sets; ++k) {
    const LampSetData& set = rec.LampSet[k];
    const std::string which = sets > 1 ? " of lamp set " + std::to_string(k + 1) : "";
    if (rec.LampCount(k) == 0)
      findings.Add("fields.lamps", Severity::kWarning, "number of lamps" + which + " is 0");
    if (set.Wattage == 0)
      findings.Add("fields.wattage", Severity::kWarning, "wattage" + which + " is 0");
    if (!CarriesColour(rec.FileFormat)) continue;
    if (set.ColourAppearance.view().find_first_not_of(' ') == std::string_view::npos)
      findings.Add("fields.colour-temperature", Severity::kNote, "no colour temperature" + which);
    if (set.ColourRendering.view().find_first_not_of(' ') == std::string_view::npos)
      findings.Add("fields.colour-rendering", Severity::kNote, "no colour rendering" + which);
  }
}

}  // namespace

void CheckFields(const TLUM32& rec, Findings& findings) {
  CheckDimensions(rec, findings);
  CheckLamps(rec, findings);
}

}  // namespace lumatra
