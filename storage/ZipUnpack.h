#pragma once
// Unpacking downloaded update packages (ZIP archives) with minizip.
#include <string>

// What UnpackZip did with the archive's entries.
struct UnpackStats {
    unsigned entries = 0; // entries the archive lists
    unsigned written = 0; // files written whole (CRC checked) and folders made
    unsigned skipped = 0; // entries refused for their name
    unsigned failed = 0;  // entries that could not be read or written
    bool Complete() const { return entries > 0 && written == entries; }
};

// The path below the target folder at which an entry stored under `stored` is unpacked,
// with backslashes: the name is split at both separators; a drive prefix ("C:"), any
// ":" stream part, and empty, "." and ".." components (trailing dots and spaces are
// ignored, as Windows does) are dropped. Empty when nothing usable remains or when a
// component is a reserved device name ("CON", "NUL", "COM1", ...).
std::wstring SafeEntryPath(const std::wstring& stored);

// Unpacks every entry of `archive`, in index order, below `folder`, under its safe path.
// An entry whose resulting full path is not inside `folder` is skipped; a file that fails
// its CRC is deleted again. True when the archive could be opened; `stats` (may be null)
// says whether every entry was written.
bool UnpackZip(const std::wstring& archive, const std::wstring& folder, UnpackStats* stats = nullptr);
