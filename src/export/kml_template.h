#pragma once

#include <optional>
#include <string_view>

namespace kestrun {

// The KML document template compiled into the program.
constexpr int kKmlTemplateId = 295;

// The bytes of a compiled-in template resource; empty when there is none with that id.
std::optional<std::string_view> template_resource(int resource_id);

}  // namespace kestrun
