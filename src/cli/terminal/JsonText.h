#pragma once

#include <string>
#include <string_view>

namespace lumaquill {

// JSON string literals for lumaquill-cli info --json.
class JsonText {
public:
    // The bytes as a quoted JSON string: converted to UTF-8 as DisplayText
    // does, quote, backslash and control characters (C0, DEL and C1)
    // escaped, everything else kept as UTF-8.
    static std::string Quote(std::string_view bytes);
};

} // namespace lumaquill
