#pragma once

// The name of the new file that a save writes beside its target before it replaces the
// target. A save that is cut short (the process killed, the machine off) leaves this
// file behind, so its name tells the user what it is, and it carries the writer's
// process id so that a later save can tell a leftover from a save still running.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lsg {

// What every such name looks like, as a wildcard pattern for a folder search.
inline constexpr std::string_view kPartialSavePattern = "~蓝杉果截图-未完成的保存-*.tmp";

// "~蓝杉果截图-未完成的保存-PPPPPPPP-SSSS.tmp": the process id and a serial, in hex.
std::string partialSaveName(std::uint32_t processId, unsigned serial);

// The process id in a name that partialSaveName made; nullopt for any other name, so
// that a clean-up never touches a file that only looks similar.
std::optional<std::uint32_t> partialSaveOwner(std::string_view name);

}  // namespace lsg
