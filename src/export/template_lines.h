#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The text-template engine: a template resource cut into lines, in which tag lines are replaced
// by generated lines. Lines are 8-bit (UTF-8) text without their line ends.
namespace kestrun {

struct TemplateLines {
    std::vector<std::string> lines;
};

// Cuts `text` into lines at each CR LF (text after the last CR LF is dropped, and so is text
// after a zero byte). A block from a line "<!-- DO NOT GEN INTO ARRAY" to a line "-->" (whole
// lines, any case) is left out with both of those lines.
void parse_template_text(std::string_view text, TemplateLines& lines);
// Fills `lines` from a compiled-in template. 0; -1 when there is no such template.
int load_template_lines(int resource_id, TemplateLines& lines);
// Index of the first line containing `tag` (case-sensitive); -1 when none or no lines.
int64_t find_template_line(const TemplateLines* lines, std::string_view tag);
// Replaces line `index` by `generated`, in order, in time linear in the number of lines.
void replace_template_line(TemplateLines& lines, int64_t index,
                           std::vector<std::string>&& generated);
// Replaces the first line holding `tag`; false when there is none.
bool replace_template_tag(TemplateLines& lines, std::string_view tag,
                          std::vector<std::string>&& generated);
// Writes every line followed by CR LF, safely. 0 written; -1 empty path or no lines; -2 the file
// could not be written (the old file, if any, stays).
int write_template_lines(const std::string& path, const TemplateLines* lines);

// Receives text while a file is written.
using TextSink = std::function<void(std::string_view text)>;
// As write_template_lines, but the line at `streamed_index` is replaced by what `produce` writes
// to its sink at that place (lines joined by CR LF, no CR LF after the last; nothing written
// drops the line), so a block of a million lines never has to be held in memory.
int write_template_lines_streaming(const std::string& path, const TemplateLines* lines,
                                   int64_t streamed_index,
                                   const std::function<void(const TextSink&)>& produce);

}  // namespace kestrun
