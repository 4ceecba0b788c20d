#include "export/kml_text.h"

#include "platform/text_encoding.h"

namespace kestrun {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

void append_code_point(std::string& out, uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool is_xml_character(char16_t c) {
    return c == 0x09 || c == 0x0A || c == 0x0D || (c >= 0x20 && c != 0xFFFE && c != 0xFFFF);
}

// The text as valid UTF-8 with only characters XML allows.
std::string clean(std::string_view text) {
    std::u16string units = utf8_to_utf16(text);
    for (char16_t& c : units) {
        if (!is_xml_character(c))
            c = 0xFFFD;
    }
    return to_utf8(units);
}

}  // namespace

std::string to_utf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            uint32_t cp = 0x10000 + ((static_cast<uint32_t>(c) - 0xD800) << 10) +
                          (static_cast<uint32_t>(text[i + 1]) - 0xDC00);
            append_code_point(out, cp);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            out += kReplacement;
        } else {
            append_code_point(out, c);
        }
    }
    return out;
}

std::string xml_text(std::string_view text) {
    std::string cleaned = clean(text);
    std::string out;
    out.reserve(cleaned.size());
    for (char c : cleaned) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string cdata_text(std::string_view text) {
    std::string cleaned = clean(text);
    std::string out;
    out.reserve(cleaned.size());
    std::size_t from = 0;
    for (std::size_t at; (at = cleaned.find("]]>", from)) != std::string::npos; from = at + 3) {
        out.append(cleaned, from, at - from);
        out += "]]]]><![CDATA[>";
    }
    out.append(cleaned, from);
    return out;
}

}  // namespace kestrun
