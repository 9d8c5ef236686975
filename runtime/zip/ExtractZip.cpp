#include "runtime/zip/ExtractZip.h"

#include <cstring>

#include "runtime/CodePage.h"
#include "runtime/zip/EntryName.h"

namespace rt {
namespace {

// A finished entry is written under this name beside its target and moved
// over it only when whole, so a failing entry never costs the file that
// was there before.
constexpr char16_t kUnpackingSuffix[] = u".unpacking";

int Percent(const ExtractState& s) {
    if (s.total <= 0) return 0;
    return static_cast<int>(static_cast<double>(s.done) * 100.0 / static_cast<double>(s.total));
}

void Report(const ExtractProgress& progress, ExtractState& state) {
    if (progress) progress(Percent(state), state);
}

std::u16string ParentOf(const std::u16string& path) {
    const size_t cut = path.rfind(u'\\');
    return cut == std::u16string::npos ? std::u16string() : path.substr(0, cut);
}

std::u16string WithSeparator(std::u16string folder) {
    if (folder.empty() || folder.back() != u'\\') folder += u'\\';
    return folder;
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

// The last guard: the target, as the system resolves it, lies inside the
// destination.
bool IsInside(ExtractFileSystem& fs, const std::u16string& root, const std::u16string& target) {
    std::u16string full;
    if (!fs.FullPath(target, full)) return false;
    return full.size() > root.size() && full.compare(0, root.size(), root) == 0;
}

// knownFolder: the last folder seen to exist. Entries come folder by
// folder, so most need no look at the file system for theirs; should it
// have gone meanwhile, creating the file fails and so does the entry.
bool ExtractFile(ZipReader& reader, const ZipEntry& entry, const std::u16string& target, ExtractFileSystem& fs,
                 std::u16string& knownFolder) {
    const std::u16string parent = ParentOf(target);
    if (!parent.empty() && parent != knownFolder) {
        if (!fs.IsFolder(parent) && !fs.CreateFolders(parent)) return false;
        knownFolder = parent;
    }
    const std::u16string partial = target + kUnpackingSuffix;
    std::unique_ptr<OutputFile> file = fs.CreateOutput(partial);
    if (!file) return false;
    const bool written = reader.Extract(entry, *file) && file->SetTimes(entry.times);
    const bool closed = file->Close();
    file.reset();
    if (!written || !closed || !fs.Replace(partial, target)) {
        fs.Remove(partial);
        return false;
    }
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
    if (archive.empty() || destination.empty()) return fail(kExtractMissing);
    std::u16string archivePath, folder;
    // Paths that are not valid GBK name no file: as good as missing.
    if (!PathToWide(archive, archivePath) || !PathToWide(destination, folder)) return fail(kExtractMissing);
    if (!fs.IsFile(archivePath)) return fail(kExtractMissing);
    if (!fs.IsFolder(folder) && !fs.CreateFolders(folder)) return fail(kExtractFailed);

    std::unique_ptr<ByteSource> file = fs.OpenArchive(archivePath);
    if (!file) return fail(kExtractFailed);
    BufferedSource source(*file);
    if (!LooksLikeZip(source)) return fail(kExtractFailed);
    ZipReader reader;
    if (!reader.Open(source) || !reader.CheckLayout()) return fail(kExtractFailed);
    std::u16string root;
    if (!fs.FullPath(folder, root)) return fail(kExtractFailed);
    root = WithSeparator(root);
    std::uint64_t freeBytes = 0;
    const bool knowsFree = fs.FreeBytes(folder, freeBytes);
    std::uint64_t declared = 0;
    state.total = static_cast<std::int64_t>(reader.count());
    std::u16string knownFolder;

    for (size_t i = 0; i < reader.count(); ++i) {
        ZipEntry entry;
        std::u16string name, relative;
        if (!reader.ReadEntry(i, entry)) return fail(kExtractFailed);
        // A name that Windows would not store as named is refused, not written.
        if (!DecodeEntryName(entry.name, (entry.flags & kFlagUtf8Name) != 0, name) ||
            !SafeRelativePath(name, relative))
            return fail(kExtractFailed);
        const std::u16string target = WithSeparator(folder) + relative;
        if (!IsInside(fs, root, target)) return fail(kExtractFailed);
        if (entry.isFolder) {
            if (!fs.IsFolder(target) && !fs.CreateFolders(target)) return fail(kExtractFailed);
        } else {
            declared += entry.uncompressedSize;
            if (knowsFree && declared > freeBytes) return fail(kExtractFailed);  // would fill the volume
            if (!ExtractFile(reader, entry, target, fs, knownFolder)) return fail(kExtractFailed);
        }
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
