#pragma once

#include <QString>

#include <optional>
#include <string>

namespace vantrel {

// Writes the bytes beside the target and renames them over it only when
// complete, so a failure leaves no half-written file and an old file
// untouched. Returns why it failed, or nothing when the file is written.
std::optional<QString> writeFileAtomically(const QString& path, const std::string& bytes);

} // namespace vantrel
