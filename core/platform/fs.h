#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// File helpers over stored paths. Stored files keep paths in their Windows form (".\x",
// "Melody\0A1B2C3D4E5"), relative to the working folder; these helpers map them to native
// paths so that a store written on one system opens on the other.
namespace sorvanto::fs {

// ".\mldfile.ini" -> "mldfile.ini", "Melody\0A1B" -> "Melody/0A1B" (on Windows "Melody\0A1B",
// its Shift_JIS bytes read as code page 932). Absolute paths are the user's or the system's, not
// the store's: they pass through unchanged, and on Windows they are read as UTF-8, the form the
// command line and std::filesystem give them in (a name with no code page 932 form survives).
// An absolute path that is no UTF-8 is read as code page 932, as older settings hold them.
std::filesystem::path NativePath(std::string_view stored);
// A path in UTF-8 (typed by the user, or made by path::string()) as a path object. On Windows
// path(std::string) would read each byte as one character, so paths from text go through here.
std::filesystem::path Utf8Path(std::string_view utf8);
// fopen on a stored path (mode as for fopen, always binary here); nullptr when it fails.
std::FILE* OpenFile(std::string_view stored, const char* mode);

bool Exists(std::string_view stored);
bool IsDirectory(std::string_view stored);
// Size in bytes, or -1 when the file is missing or not a regular file.
std::int64_t FileSize(std::string_view stored);

// Copies a file; with overwrite false an existing target makes the copy fail.
bool CopyFile(std::string_view from, std::string_view to, bool overwrite);
// Renames a file; fails when the target exists (as the Windows call does), so nothing is
// replaced by accident.
bool MoveFile(std::string_view from, std::string_view to);
// Deleting a missing file is not an error: the result says whether the file is gone.
bool DeleteFile(std::string_view stored);
// Creates one folder level; an existing folder is no error.
bool CreateFolder(std::string_view stored);
// Removes a folder that is empty; false when it is not, or cannot be removed.
bool DeleteEmptyFolder(std::string_view stored);

// Whole file, at most max_bytes of it; nullopt when it cannot be opened.
std::optional<std::string> ReadFile(std::string_view stored,
                                    std::size_t max_bytes = static_cast<std::size_t>(-1));
// Writes through a temporary file in the same folder and renames it over the target, so a
// crash leaves either the old file or the new one, never half of one.
bool WriteFileAtomic(std::string_view stored, std::string_view bytes);
// The same without the flush: a failed or interrupted write never leaves half a file under the
// target's name, at the cost of durability across a power loss. For the many files of an
// export, where a flush each would cost more than the writing.
bool WriteFileRenamed(std::string_view stored, std::string_view bytes);
// Plain binary write (create or truncate), for work and scratch files.
bool WriteFile(std::string_view stored, std::string_view bytes);
bool AppendFile(std::string_view stored, std::string_view bytes);
// Creates a file only where nothing of that name exists, and writes bytes into it. The
// exclusive create asks whether the name is free and takes it in one step. kTaken: something
// has that name (left untouched); kFailed: the file could not be made or written, and no file
// is left behind.
enum class NewFile { kCreated, kTaken, kFailed };
NewFile CreateNewFile(std::string_view stored, std::string_view bytes);

// Puts data files written into folder (the named ones at least) on the disk, before an index
// that names them is written. False when the system refuses.
bool FlushFiles(std::string_view folder, const std::vector<std::string>& files);
// WriteFileAtomic with the data files of FlushFiles in the same flush: the new file and the
// data files reach the disk together, and only then does the new file take the target's name.
// An index written right after the files it names costs one flush instead of two. False, with
// the target as it was, when any step fails.
bool WriteFileAtomicWithFiles(std::string_view stored, std::string_view bytes, std::string_view folder,
                              const std::vector<std::string>& files);

}  // namespace sorvanto::fs
