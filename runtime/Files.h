// Files, folders and profile files. Paths are Text (GBK); the wide Win32
// functions are called with the code-page-936 conversion so that Chinese
// names come out right on any system locale.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>

#include "runtime/Bytes.h"
#include "runtime/Handles.h"
#include "runtime/Text.h"

namespace rt {

// An open file of OpenFile; closes itself when it goes out of scope.
using File = UniqueFile;

// OpenFile modes.
constexpr int kOpenRead = 1;
constexpr int kOpenWrite = 2;
constexpr int kOpenReadWrite = 3;
constexpr int kOpenCreateTruncateWrite = 4;
constexpr int kOpenOrCreateWrite = 5;
constexpr int kOpenOrCreateReadWrite = 6;
// OpenFile share modes.
constexpr int kShareDenyNone = 1;
constexpr int kShareDenyRead = 2;
constexpr int kShareDenyWrite = 3;
constexpr int kShareExclusive = 4;

bool CreateFolder(const Text& path);  // one level only
bool DeleteFile(const Text& path);
bool FileExists(const Text& pathOrWildcard);

// Creates or truncates the file, opened exclusively, and writes the
// arrays one after the other. Empty bytes leave an empty file.
bool WriteBytesToFile(const Text& path, std::initializer_list<const Bytes*> parts);
inline bool WriteBytesToFile(const Text& path, const Bytes& bytes) { return WriteBytesToFile(path, {&bytes}); }

// An empty File when the mode is outside 1..6, the share outside 1..4,
// or the file cannot be opened.
File OpenFile(const Text& path, int mode = kOpenReadWrite, int share = kShareDenyNone);
bool SeekToEnd(const File& file);
// Writes at the current position; on failure the position is restored.
bool WriteBytes(const File& file, const std::uint8_t* data, size_t size);
inline bool WriteBytes(const File& file, const Bytes& bytes) { return WriteBytes(file, bytes.data(), bytes.size()); }
void CloseFile(File& file);

// WritePrivateProfileStringA(section, key, value, file): an absent key
// deletes the section, an absent value deletes the key.
bool WriteIniValue(const Text& file, const Text& section, const std::optional<Text>& key,
                   const std::optional<Text>& value);

// The file's size; absent when it does not exist or is no file.
std::optional<std::int64_t> FileSize(const Text& path);
// Moves the file over the target once its bytes are on the disk (replace
// existing, write through); false leaves both as they were.
bool MoveFileOver(const Text& from, const Text& to);
// Reads the whole file in pieces into the sink; false when it cannot be read.
bool ReadFileInPieces(const Text& path, const std::function<void(const std::uint8_t*, size_t)>& sink);

// A path that Windows gives back, as Text: as it is when GBK holds it, else
// by its short (8.3, ASCII) name. False when neither works; text then holds
// the lossy form, whose "?"s no file operation accepts.
bool WindowsPathToText(const wchar_t* path, Text& text);

}  // namespace rt
