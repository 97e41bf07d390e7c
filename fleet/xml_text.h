#pragma once
// Text as an XML 1.0 document may hold it: what the fleet's XML documents write.

#include <string>
#include <string_view>

namespace velmora::fleet {

// `text` (UTF-8) as element content or an attribute value: &, <, >, " and ' escaped, and each
// byte that is not part of valid UTF-8, or a character XML 1.0 does not allow (the C0 controls
// but tab, line feed and carriage return; U+FFFE, U+FFFF), made U+FFFD.
std::string XmlEscaped(std::string_view text);

}  // namespace velmora::fleet
