#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Text as it goes into a KML document: UTF-8, with what XML does not allow kept out.
namespace kestrun {

// The UTF-8 form of a UTF-16 text. Surrogate pairs become one four-byte character; a lone
// surrogate, which has no UTF-8 form, becomes U+FFFD.
std::string to_utf8(std::u16string_view text);
// Element text: & < > escaped; invalid UTF-8 and control characters that XML 1.0 forbids
// become U+FFFD.
std::string xml_text(std::string_view text);
// Text inside a CDATA section: a "]]>" is split across two sections so the section stays whole;
// invalid characters are replaced as for element text.
std::string cdata_text(std::string_view text);

}  // namespace kestrun
