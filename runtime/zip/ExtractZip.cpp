#include "runtime/zip/ExtractZip.h"

#include <cstring>

namespace rt {
namespace {

int Percent(const ExtractState& s) {
    if (s.total <= 0) return 0;
    return static_cast<int>(static_cast<double>(s.done) * 100.0 / static_cast<double>(s.total));
}

void Report(const ExtractProgress& progress, ExtractState& state) {
    if (progress) progress(Percent(state), state);
}

// The folder part of a "\" path, or empty.
Text ParentOf(const Text& path) {
    size_t cut = Text::npos;
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '\\') cut = i;
        if (IsLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) ++i;
    }
    return cut == Text::npos ? Text() : path.substr(0, cut);
}

Text TargetPath(const Text& destination, const Text& name) {
    Text target = destination;
    if (target.empty() || target.back() != '\\') target += '\\';
    for (char c : name) target += c == '/' ? '\\' : c;
    return target;
}

// The first 32 bytes must open a local file header, and the signed value
// at offset 24 (the name length with the next field) must be at least 1.
bool LooksLikeZip(ByteSource& source) {
    std::uint8_t head[32];
    if (!source.ReadAt(0, head, sizeof(head))) return false;
    if (std::memcmp(head, "PK\x03\x04", 4) != 0) return false;
    std::int32_t value;
    std::memcpy(&value, head + 24, 4);
    return value >= 1;
}

bool ExtractEntry(ZipReader& reader, const ZipEntry& entry, const Text& target, ExtractFileSystem& fs) {
    if (entry.isFolder) return fs.IsFolder(target) || fs.CreateFolders(target);
    const Text parent = ParentOf(target);
    if (!parent.empty() && !fs.IsFolder(parent) && !fs.CreateFolders(parent)) return false;
    std::unique_ptr<OutputFile> file = fs.CreateOutput(target, entry.attributes);
    if (!file) return false;
    const bool written = reader.Extract(entry, *file) && file->SetTimes(entry.times);
    const bool closed = file->Close();
    file.reset();
    if (!written || !closed) return false;  // the partial file stays
    fs.SetNormalAttributes(target);
    return true;
}

}  // namespace

int ExtractZip(const Text& archive, const Text& destination, const ExtractProgress& progress,
               ExtractFileSystem& fs) {
    ExtractState state;
    auto fail = [&](int code) {
        state.done = state.total;
        Report(progress, state);
        return code;
    };
    if (archive.empty() || destination.empty() || !fs.IsFile(archive)) return fail(kExtractMissing);
    if (!fs.IsFolder(destination) && !fs.CreateFolders(destination)) return fail(kExtractFailed);

    std::unique_ptr<ByteSource> source = fs.OpenArchive(archive);
    if (!source || !LooksLikeZip(*source)) return fail(kExtractFailed);
    ZipReader reader;
    if (!reader.Open(*source)) return fail(kExtractFailed);
    state.total = static_cast<std::int64_t>(reader.count());

    for (size_t i = 0; i < reader.count(); ++i) {
        ZipEntry entry;
        if (!reader.ReadEntry(i, entry)) return fail(kExtractFailed);
        // A name that would leave the destination is refused, not written.
        if (!IsSafeEntryName(entry.name)) return fail(kExtractFailed);
        const Text target = TargetPath(destination, entry.name);
        if (!ExtractEntry(reader, entry, target, fs)) return fail(kExtractFailed);
        state.done = static_cast<std::int64_t>(i);
        state.current = target;
        Report(progress, state);
        if (state.stop) return kExtractDone;
    }
    state.done = state.total;
    Report(progress, state);
    return kExtractDone;
}

}  // namespace rt
