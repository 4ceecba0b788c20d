#include "export/template_lines.h"

#include <cstdint>
#include <iterator>

#include "export/kml_template.h"
#include "platform/atomic_file.h"
#include "platform/text_encoding.h"

namespace kestrun {
namespace {

constexpr std::string_view kSkipStart = "<!-- DO NOT GEN INTO ARRAY";
constexpr std::string_view kSkipEnd = "-->";

}  // namespace

void parse_template_text(std::string_view text, TemplateLines& lines) {
    lines.lines.clear();
    text = text.substr(0, text.find('\0'));
    bool skipping = false;
    std::size_t from = 0;
    for (std::size_t end; (end = text.find("\r\n", from)) != std::string_view::npos;
         from = end + 2) {
        std::string_view line = text.substr(from, end - from);
        if (equals_ignoring_case(line, kSkipStart))
            skipping = true;
        if (!skipping)
            lines.lines.emplace_back(line);
        if (equals_ignoring_case(line, kSkipEnd))
            skipping = false;
    }
}

int load_template_lines(int resource_id, TemplateLines& lines) {
    auto text = template_resource(resource_id);
    if (!text) {
        lines.lines.clear();
        return -1;
    }
    parse_template_text(*text, lines);
    return 0;
}

int64_t find_template_line(const TemplateLines* lines, std::string_view tag) {
    if (!lines)
        return -1;
    for (std::size_t i = 0; i < lines->lines.size(); ++i) {
        if (lines->lines[i].find(tag) != std::string::npos)
            return static_cast<int64_t>(i);
    }
    return -1;
}

void replace_template_line(TemplateLines& lines, int64_t index,
                           std::vector<std::string>&& generated) {
    auto& v = lines.lines;
    if (index < 0 || static_cast<std::size_t>(index) >= v.size())
        return;
    auto at = v.erase(v.begin() + index);
    // One range insert moves the tail once, whatever the number of generated lines.
    v.insert(at, std::make_move_iterator(generated.begin()),
             std::make_move_iterator(generated.end()));
}

bool replace_template_tag(TemplateLines& lines, std::string_view tag,
                          std::vector<std::string>&& generated) {
    int64_t index = find_template_line(&lines, tag);
    if (index < 0)
        return false;
    replace_template_line(lines, index, std::move(generated));
    return true;
}

int write_template_lines(const std::string& path, const TemplateLines* lines) {
    return write_template_lines_streaming(path, lines, -1, {});
}

int write_template_lines_streaming(const std::string& path, const TemplateLines* lines,
                                   int64_t streamed_index,
                                   const std::function<void(const TextSink&)>& produce) {
    if (path.empty() || !lines)
        return -1;
    AtomicFileWriter writer;
    if (!writer.open(path))
        return -2;
    for (std::size_t i = 0; i < lines->lines.size(); ++i) {
        if (static_cast<int64_t>(i) == streamed_index && produce) {
            bool wrote = false;
            produce([&](std::string_view text) {
                wrote = wrote || !text.empty();
                writer.write(text);
            });
            if (wrote)
                writer.write(std::string_view("\r\n"));
            continue;
        }
        writer.write(lines->lines[i]);
        writer.write(std::string_view("\r\n"));
    }
    return writer.commit() ? 0 : -2;
}

}  // namespace kestrun
