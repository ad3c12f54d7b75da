#pragma once

#include "practice/SessionRecord.h"

#include <cstddef>
#include <optional>
#include <string>

namespace vantrel {

// Files beyond these are refused before anything is built from them.
inline constexpr std::size_t kSessionFileMaxBytes = 16u * 1024u * 1024u;
inline constexpr std::size_t kSessionFileMaxActions = 200000;
inline constexpr std::uint64_t kSessionFileMaxSeconds = 100000000;

// The session as a JSON text (UTF-8), fields in a fixed order.
std::string writeSessionFile(const SessionRecord& record);

// A session file read strictly: either the record, or a short Japanese
// message saying what is wrong and where (a field, an action number).
struct SessionFileRead {
    std::optional<SessionRecord> record;
    std::string error;
};
SessionFileRead readSessionFile(const std::string& text);

} // namespace vantrel
