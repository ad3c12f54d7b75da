#pragma once

#include "practice/SessionRecord.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace vantrel {

// What a session file may hold. A press every four seconds through a week
// of eight-hour days is 50,400 actions, and a week is longer than any
// practice left running; the bytes fit the longest record of typical presses
// (about 150 bytes each, written compactly) with room for long form texts.
// Within these a file reads and replays headless in well under a second.
inline constexpr std::size_t kSessionFileMaxBytes = 16u * 1024u * 1024u;
inline constexpr std::size_t kSessionFileMaxActions = 50000;
inline constexpr std::uint64_t kSessionFileMaxSeconds = 7u * 24u * 3600u;
// The file's own shape is four levels deep: the whole, actions, an action,
// its form. Anything deeper is refused before it is built; only within
// branches, a list of branches each with actions of their own, is it two
// levels deeper.
inline constexpr int kSessionFileMaxDepth = 4;
inline constexpr int kSessionFileMaxBranchDepth = kSessionFileMaxDepth + 2;
// Each branch holds every press of its line from the start (the limit on
// actions holds for each); going back a hundred times in one practice is
// far beyond what anyone does, and the byte limit bounds them all.
inline constexpr std::size_t kSessionFileMaxBranches = 100;

// Why a file was refused when reading it needed more memory than there is.
inline constexpr const char* kOutOfMemory = "メモリが足りません";

// The session as a JSON text (UTF-8, one action a line), or why it cannot
// be written: a record beyond the limits above would make a file this
// program refuses to open.
struct SessionFileWrite {
    std::optional<std::string> text;
    std::string error;
};
SessionFileWrite writeSessionFile(const SessionRecord& record);

// A session file read strictly: either the record, or a short Japanese
// message saying what is wrong and where (a field, an action number, a line
// and column). Members this version does not know are passed over unread,
// so whatever they hold costs no memory; running out of memory is a refusal
// (kOutOfMemory) like any other.
struct SessionFileRead {
    std::optional<SessionRecord> record;
    std::string error;
    bool link = false; // refused as a link, when asked not to follow one
};
SessionFileRead readSessionFile(const std::string& text);
// The file at a path (UTF-8), read only if it is an ordinary file and never
// beyond the size limit, whatever size it claims. It is read as it streams
// in, never held whole. A file found in a folder that is not the user's own
// (a class's hand-ins) is opened without following a link, even one swapped
// in after the folder was listed.
enum class LinkFollowing { Follow, Refuse };
SessionFileRead openSessionFile(const std::string& path,
                                LinkFollowing links = LinkFollowing::Follow);

} // namespace vantrel
