// CIBSE TM14 (.CIB), signature "CIBSE/1", with the optional CIBSE/2 block.
//
// Lines 1-8 signature and texts, 9 lamps / photometry / dimensions in metres, 10 watts, 11 one
// value, 12 the two counts, then the gamma list, the C list and one intensity list per plane
// (cd/klm, unscaled), and a closing line with the shape of the luminous opening and three
// projected areas in square metres.
#pragma once

#include <string>
#include <string_view>

namespace lumatra {

class Findings;
class TLUM32;

bool ParseTm14(TLUM32& rec, std::string_view text, Findings* findings = nullptr);
std::string Tm14Text(TLUM32& rec);

// The luminous area (AreaDim) seen from the direction (gamma, C), in square metres.
long double ProjectedArea(const TLUM32& rec, float gamma, float c);
// True when the luminous area has a bottom or a side of non-zero size.
bool HasLuminousArea(const TLUM32& rec);
// The writer's test for the projected-area line: false for a luminaire that sends all its light
// upward (LightDir 1, which the flux evaluation sets: Save runs it first).
bool NeedsAreaBlock(const TLUM32& rec);

}  // namespace lumatra
