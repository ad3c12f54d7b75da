#pragma once

#include <QFileDevice>
#include <QString>

#include <optional>
#include <string>

namespace vantrel {

// Writes the bytes beside the target and renames them over it only when every
// byte has reached the file, so a failure (a full disk, a file too large)
// leaves no half-written file, no temporary file and an old file untouched.
// Returns why it failed, as a sentence for a box, or nothing when the file is
// written.
std::optional<QString> writeFileAtomically(const QString& path, const std::string& bytes);

// Why a file could not be written, for the user: the common causes in Japanese
// whatever the system's language (the window speaks Japanese only), else the
// system's own text. systemError is the errno the failing call left, 0 if none.
QString fileProblemText(QFileDevice::FileError error, int systemError, const QString& systemText);

// A name offered in a save dialog, made from a title or a student's name:
// what no file name may hold on some desktop (a path separator, a control
// character, * ? " < > | :) becomes "_", and it is cut to 100 characters.
QString safeFileName(const QString& name);

} // namespace vantrel
