// Whole small files that others read while we rewrite them (registrations).
//
// ReplaceFile writes a new file beside the old one and renames it over it, so
// a reader sees the old file or the new one, never half of either.
//
// How far a path is trusted depends on its folder. In a folder that only
// this user (or root) may change, the file keeps its nature: through a
// symbolic link the link's target is replaced and the link stays; an
// existing file keeps its mode and owner. In a folder others may write
// (group- or world-writable, or another user's), a link there may have been
// planted and a file there may be another user's: links are neither read nor
// followed (a link reads as no file), and the new file, made with O_EXCL and
// O_NOFOLLOW, is this process's own, mode 0644 at most, renamed over the
// folder entry itself.
//
// Every failure raises a numbered file error naming the path (61 for a full
// disk) and leaves the old file as it was.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace ostrel::com {

// The whole content of PATH; nothing when there is no such file. Opens
// without blocking, so a FIFO cannot hang the caller. Raises 70, 75, ...
// naming PATH when it exists but cannot be read, is not a regular file, or
// holds more than LIMIT bytes.
std::optional<std::string> ReadFileIfPresent(const std::string& path, size_t limit);

void ReplaceFile(const std::string& path, std::string_view content);

// The file that ReplaceFile(PATH) replaces: PATH itself in a folder others
// may write, else the end of PATH's chain of links.
std::string ReplacedFile(const std::string& path);

// Removes PATH (a link itself, not its target); a missing file is no error.
// Raises when PATH exists and cannot be removed.
void RemoveFile(const std::string& path);

// Raises 70 naming FOLDER unless this process may list, create and remove
// files in it.
void CheckFolderWritable(const std::string& folder);

}  // namespace ostrel::com
