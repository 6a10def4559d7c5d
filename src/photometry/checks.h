// The checks of an evaluated record: what its table, its declared values and its fields say
// about the data, added to the findings the reader collected. The record must have been
// evaluated (CalcFlux, FindPeak, CalcDirectRatios).
#pragma once

namespace lumatra {

class Findings;
class TLUM32;

void CheckEvaluated(const TLUM32& rec, Findings& findings);

// The groups CheckEvaluated runs, one file each.
void CheckTable(const TLUM32& rec, Findings& findings);
void CheckDeclared(const TLUM32& rec, Findings& findings);
void CheckFields(const TLUM32& rec, Findings& findings);

}  // namespace lumatra
