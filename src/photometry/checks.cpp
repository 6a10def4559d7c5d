#include "photometry/checks.h"

namespace lumatra {

void CheckEvaluated(const TLUM32& rec, Findings& findings) {
  CheckTable(rec, findings);
  CheckDeclared(rec, findings);
  CheckFields(rec, findings);
}

}  // namespace lumatra
