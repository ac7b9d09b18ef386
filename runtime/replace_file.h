// Whole small files that others read while we rewrite them (registrations).
//
// ReplaceFile writes a new file beside the old one and renames it over it, so
// a reader sees the old file or the new one, never half of either. The file
// keeps its nature: through a symbolic link the link's target is replaced and
// the link stays; an existing file keeps its mode and owner. Every failure
// raises a numbered file error naming the path (61 for a full disk) and
// leaves the old file as it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ostrel::com {

// The whole content of PATH; nothing when there is no such file. Raises 70,
// 75, ... when the file exists but cannot be read.
std::optional<std::string> ReadFileIfPresent(const std::string& path);

void ReplaceFile(const std::string& path, std::string_view content);

// Removes PATH (a link itself, not its target); a missing file is no error.
// Raises when PATH exists and cannot be removed.
void RemoveFile(const std::string& path);

// Raises 70 naming FOLDER unless this process may list, create and remove
// files in it.
void CheckFolderWritable(const std::string& folder);

}  // namespace ostrel::com
