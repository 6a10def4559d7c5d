// The conversion pipeline: the fixed sequence of steps every record passes between loading the
// source and saving the target. It copies IES LM-63-1986 header lines into EULUMDAT text fields,
// brings B- and A-plane photometry into C planes for EULUMDAT, applies the transforms the
// settings ask for, extends the gamma range for IES, passes the output options to the writers,
// restores the light output ratio found after loading and computes the direct ratios.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "app/conversion_settings.h"

namespace lumatra {

class TLUM32;

// Receives the log markers " CONVBC " and " REDIM " as the steps that earn them run.
using MarkerSink = std::function<void(std::string_view marker)>;

// `lor0` is the record's LOR right after loading and evaluation. Errors of a transform (for
// example a missing LiTG factor table) are thrown to the caller.
void RunPipeline(TLUM32& rec, std::uint8_t target_code, std::uint8_t source_code, float lor0,
                 const ConversionSettings& settings, const MarkerSink& mark);

// The single steps, in pipeline order; the tests drive them one by one.
void CopyLabelLines(TLUM32& rec, const ConversionSettings& settings);
void TurnPlanes(TLUM32& rec);

}  // namespace lumatra
