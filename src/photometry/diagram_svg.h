// A diagram as a standalone SVG document (UTF-8, with a viewBox, for browsers and editors).
#pragma once

#include <string>
#include <string_view>

#include "photometry/diagram.h"

namespace lumatra {

std::string SvgText(const Diagram& diagram);

// UTF-8 text as XML character data: markup characters escaped, and the control characters XML
// does not allow (a record's text may hold them) replaced by blanks.
std::string XmlEscaped(std::string_view utf8);

}  // namespace lumatra
