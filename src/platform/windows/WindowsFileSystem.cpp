#include "platform/windows/WindowsFileSystem.h"

#include <windows.h>
// After windows.h, which they build on.
#include <bcrypt.h>
#include <sddl.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <utility>

#include "platform/windows/LongPath.h"
#include "platform/windows/SystemMessage.h"
#include "platform/windows/WideText.h"
#include "platform/windows/WindowsHandle.h"
#include "platform/windows/WindowsMappedFile.h"
#include "platform/windows/WindowsPathRules.h"

namespace quillfen::platform {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// The most one ReadFile or WriteFile call is asked to move.
constexpr DWORD kLargestTransfer = DWORD{1} << 30;

FileTime fileTimeOf(const FILETIME& time) {
    return (static_cast<FileTime>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME toFiletime(FileTime time) {
    return {static_cast<DWORD>(time & 0xFFFFFFFFu), static_cast<DWORD>(time >> 32)};
}

std::int64_t sizeOf(DWORD high, DWORD low) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(high) << 32) | low);
}

// Symbolic links, junctions and mount points name another place; other reparse points (cloud
// placeholders, deduplicated files) are ordinary files and folders to the user.
bool isNameSurrogate(DWORD attributes, DWORD reparseTag) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
           IsReparseTagNameSurrogate(reparseTag);
}

EntryKind kindOf(DWORD attributes, DWORD reparseTag) {
    if (isNameSurrogate(attributes, reparseTag)) {
        return EntryKind::Other;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::Directory : EntryKind::File;
}

WindowsHandle openPath(const std::wstring& path, DWORD access, DWORD flags,
                       DWORD disposition = OPEN_EXISTING, DWORD share = kShareAll) {
    if (path.empty()) {
        return WindowsHandle();
    }
    return WindowsHandle(
        CreateFileW(path.c_str(), access, share, nullptr, disposition, flags, nullptr));
}

DWORD reparseTagOf(HANDLE handle) {
    FILE_ATTRIBUTE_TAG_INFO tag{};
    return GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag)
               ? tag.ReparseTag
               : 0;
}

// The 128-bit id where the file system has one (ReFS); the 64-bit file index otherwise.
FileIdentity identityOf(HANDLE handle, const BY_HANDLE_FILE_INFORMATION& info) {
    FILE_ID_INFO id{};
    if (GetFileInformationByHandleEx(handle, FileIdInfo, &id, sizeof id)) {
        std::uint64_t low = 0;
        std::uint64_t high = 0;
        static_assert(sizeof id.FileId.Identifier == sizeof low + sizeof high);
        std::copy_n(id.FileId.Identifier, sizeof low, reinterpret_cast<BYTE*>(&low));
        std::copy_n(id.FileId.Identifier + sizeof low, sizeof high, reinterpret_cast<BYTE*>(&high));
        return FileIdentity{id.VolumeSerialNumber, low, high};
    }
    return FileIdentity{
        info.dwVolumeSerialNumber,
        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

// When the entry's contents, name, attributes or security last changed; 0 where the file system
// keeps no such time (FAT).
FileTime changeTimeOf(HANDLE handle) {
    FILE_BASIC_INFO basic{};
    return GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic)
               ? static_cast<FileTime>(basic.ChangeTime.QuadPart)
               : 0;
}

EntryStatus statusOfHandle(HANDLE handle, bool followed) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info)) {
        return {};
    }
    EntryStatus status;
    const DWORD tag = followed ? 0 : reparseTagOf(handle);
    status.kind = kindOf(info.dwFileAttributes, tag);
    if (status.kind == EntryKind::File && GetFileType(handle) != FILE_TYPE_DISK) {
        status.kind = EntryKind::Other;
    }
    status.size = sizeOf(info.nFileSizeHigh, info.nFileSizeLow);
    status.writeTime = fileTimeOf(info.ftLastWriteTime);
    status.changeTime = changeTimeOf(handle);
    status.identity = identityOf(handle, info);
    return status;
}

bool hasWildcard(const std::wstring& path) {
    return path.find_first_of(L"*?") != std::wstring::npos;
}

// What the folder's listing says of the entry, for one that cannot be opened at all (a file
// another program holds without sharing, or one the user may not open); its identity stays
// unknown.
EntryStatus statusFromListing(const std::wstring& path, bool followed) {
    WIN32_FIND_DATAW data{};
    if (hasWildcard(path)) {
        return {};
    }
    const HANDLE search =
        FindFirstFileExW(path.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return {};
    }
    FindClose(search);
    if (followed && isNameSurrogate(data.dwFileAttributes, data.dwReserved0)) {
        return {};
    }
    EntryStatus status;
    status.kind = kindOf(data.dwFileAttributes, data.dwReserved0);
    status.size = sizeOf(data.nFileSizeHigh, data.nFileSizeLow);
    status.writeTime = fileTimeOf(data.ftLastWriteTime);
    return status;
}

EntryStatus statusOf(const std::string& path, bool follow) {
    const std::wstring wide = longPath(path);
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (follow ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    const WindowsHandle handle = openPath(wide, FILE_READ_ATTRIBUTES, flags);
    if (handle.valid()) {
        return statusOfHandle(handle.get(), follow);
    }
    const DWORD error = GetLastError();
    if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) {
        return statusFromListing(wide, follow);
    }
    return {};
}

// A plain file on a disk: no folder, no link, no device, no pipe.
bool isPlainFile(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    return GetFileType(handle) == FILE_TYPE_DISK && GetFileInformationByHandle(handle, &info) &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Opens a plain file for reading, the way `openForContent` and the editor do: a link is not
// followed; another reparse point is opened for its data.
WindowsHandle openPlainFileNoLink(const std::wstring& path, DWORD flags) {
    WindowsHandle handle = openPath(path, GENERIC_READ, flags | FILE_FLAG_OPEN_REPARSE_POINT);
    if (!handle.valid()) {
        return handle;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle.get(), &info)) {
        return WindowsHandle();
    }
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        if (IsReparseTagNameSurrogate(reparseTagOf(handle.get()))) {
            return WindowsHandle();
        }
        handle = openPath(path, GENERIC_READ, flags);
    }
    return handle.valid() && isPlainFile(handle.get()) ? std::move(handle) : WindowsHandle();
}

std::optional<std::string> readAll(HANDLE handle) {
    std::string contents;
    char buffer[65536];
    for (;;) {
        DWORD count = 0;
        if (!ReadFile(handle, buffer, sizeof buffer, &count, nullptr)) {
            return std::nullopt;
        }
        if (count == 0) {
            return contents;
        }
        contents.append(buffer, count);
    }
}

bool writeAll(HANDLE handle, std::string_view data) {
    while (!data.empty()) {
        const DWORD part = static_cast<DWORD>(std::min<std::size_t>(data.size(), kLargestTransfer));
        DWORD written = 0;
        if (!WriteFile(handle, data.data(), part, &written, nullptr) || written == 0) {
            return false;
        }
        data.remove_prefix(written);
    }
    return true;
}

bool randomBytes(void* buffer, std::size_t size) {
    return BCryptGenRandom(nullptr, static_cast<PUCHAR>(buffer), static_cast<ULONG>(size),
                           BCRYPT_USE_SYSTEM_PREFERRED_RNG) >= 0;
}

// Letters and digits that no one can predict.
std::wstring uniquePart(std::size_t length) {
    static constexpr wchar_t kAlphabet[] =
        L"0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    std::wstring part(length, L'0');
    unsigned char bytes[32] = {};
    if (length > sizeof bytes || !randomBytes(bytes, length)) {
        return {};
    }
    for (std::size_t index = 0; index < length; ++index) {
        part[index] = kAlphabet[bytes[index] % 62];
    }
    return part;
}

std::wstring folderOf(const std::wstring& path) {
    const auto separator = path.rfind(L'\\');
    return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator + 1);
}

std::wstring nameOf(const std::wstring& path) {
    const auto separator = path.rfind(L'\\');
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

// A settings file kept elsewhere through a symbolic link is edited where it lives, so the link
// survives the replacement.
std::wstring resolveLinks(const std::wstring& path) {
    const WindowsHandle named = openPath(path, FILE_READ_ATTRIBUTES,
                                         FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT);
    if (!named.valid() || !IsReparseTagNameSurrogate(reparseTagOf(named.get()))) {
        return path;
    }
    const WindowsHandle target = openPath(path, FILE_READ_ATTRIBUTES, FILE_FLAG_BACKUP_SEMANTICS);
    if (!target.valid()) {
        return path;
    }
    std::wstring resolved(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(
            target.get(), resolved.data(), static_cast<DWORD>(resolved.size()), VOLUME_NAME_DOS);
        if (length == 0) {
            return path;
        }
        if (length < resolved.size()) {
            resolved.resize(length);
            return longPath(resolved);
        }
        resolved.resize(length + 1);
    }
}

// Editors of one file, in any process of this session, take turns through a named mutex. The
// name comes from the file's full path, case-folded as the file system compares names; two paths
// that happen to share a name only take turns needlessly.
class EditTurn {
public:
    explicit EditTurn(const std::wstring& path) {
        std::wstring folded = path;
        CharUpperBuffW(folded.data(), static_cast<DWORD>(folded.size()));
        std::uint64_t hash = 0xcbf29ce484222325ULL;
        for (const wchar_t unit : folded) {
            hash = (hash ^ static_cast<std::uint16_t>(unit)) * 0x100000001b3ULL;
        }
        wchar_t name[64];
        swprintf(name, 64, L"Local\\quillfen-edit-%016llx", static_cast<unsigned long long>(hash));
        mutex_ = WindowsHandle(CreateMutexW(nullptr, FALSE, name));
        if (mutex_.valid()) {
            const DWORD waited = WaitForSingleObject(mutex_.get(), INFINITE);
            // An editor that died holding its turn leaves the file as it was: the replacement is
            // one rename, so the turn may be taken over.
            held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
        }
    }
    EditTurn(const EditTurn&) = delete;
    EditTurn& operator=(const EditTurn&) = delete;
    ~EditTurn() {
        if (held_) {
            ReleaseMutex(mutex_.get());
        }
    }

    bool held() const { return held_; }

private:
    WindowsHandle mutex_;
    bool held_ = false;
};

// A temporary file of a replacement is named "." + the target's name + "." + six letters or digits.
constexpr std::size_t kUniquePartLength = 6;

bool isTemporaryNameOf(std::wstring_view name, std::wstring_view target) {
    if (name.size() != target.size() + 2 + kUniquePartLength || !name.starts_with(L'.') ||
        name.substr(1, target.size()) != target || name[target.size() + 1] != L'.') {
        return false;
    }
    const std::wstring_view unique = name.substr(target.size() + 2);
    return std::all_of(unique.begin(), unique.end(), [](wchar_t c) {
        return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
    });
}

// Removes the temporary files that writers of the target left behind when they died before their
// replacement. A live writer holds its temporary file open without sharing deletion, so it
// cannot be removed, and a file younger than a minute may belong to a writer about to write it;
// both stay. `now` is the write time of the file just written.
void removeStaleTemporaries(const std::wstring& folder, const std::wstring& target, FileTime now) {
    constexpr FileTime kStaleAfter = 60ULL * 10'000'000ULL;
    WIN32_FIND_DATAW data{};
    const std::wstring pattern = folder + L"." + target + L".*";
    const HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data,
                                           FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const bool plain = (data.dwFileAttributes &
                            (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
        if (plain && isTemporaryNameOf(data.cFileName, target) &&
            now >= fileTimeOf(data.ftLastWriteTime) + kStaleAfter) {
            DeleteFileW((folder + data.cFileName).c_str());
        }
    } while (FindNextFileW(search, &data));
    FindClose(search);
}

// A file that a reader holds mapped (an index being searched) may be renamed but not deleted, so
// nothing can take its name while it has it. It steps aside under a temporary file's name and the
// new file takes its place; the reader keeps the old bytes, and the cleanup of a later write
// removes them once no one maps them. Between the two renames the target is missing, and the new
// file has the folder's security rather than the old file's.
bool replaceSteppingAside(const std::wstring& folder, const std::wstring& target,
                          const std::wstring& temporary) {
    const std::wstring unique = uniquePart(kUniquePartLength);
    const std::wstring path = folder + target;
    const std::wstring aside = folder + L"." + target + L"." + unique;
    if (unique.empty() || !MoveFileExW(path.c_str(), aside.c_str(), MOVEFILE_WRITE_THROUGH)) {
        return false;
    }
    if (!MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        MoveFileExW(aside.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH);
        SetLastError(error);
        return false;
    }
    DeleteFileW(aside.c_str());
    return true;
}

// Writes the new contents to a temporary file beside the target and puts it in the target's
// place in one step, keeping the target's attributes and security when it exists.
bool replaceFile(const std::wstring& path, bool exists, std::string_view contents,
                 const WindowsFileSystem::ReplaceHook& beforeReplace) {
    const std::wstring folder = folderOf(path);
    const std::wstring target = nameOf(path);
    std::wstring temporary;
    WindowsHandle out;
    for (int attempt = 0; attempt < 100 && !out.valid(); ++attempt) {
        const std::wstring unique = uniquePart(kUniquePartLength);
        if (unique.empty()) {
            return false;
        }
        temporary = folder + L"." + target + L"." + unique;
        // Deletion is not shared: that keeps the stale-file cleanup of other writers off it.
        out =
            openPath(temporary, GENERIC_WRITE, FILE_ATTRIBUTE_NORMAL, CREATE_NEW, FILE_SHARE_READ);
        if (!out.valid() && GetLastError() != ERROR_FILE_EXISTS) {
            return false;
        }
    }
    if (!out.valid()) {
        return false;
    }
    bool written = writeAll(out.get(), contents) && FlushFileBuffers(out.get());
    FILETIME writeTime{};
    written = written && GetFileTime(out.get(), nullptr, nullptr, &writeTime);
    out.reset();
    if (written && beforeReplace) {
        beforeReplace(fromWide(withoutLongPrefix(temporary)));
    }
    const bool replaced =
        written && ((exists && ReplaceFileW(path.c_str(), temporary.c_str(), nullptr,
                                            REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) ||
                    MoveFileExW(temporary.c_str(), path.c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ||
                    (exists && replaceSteppingAside(folder, target, temporary)));
    if (!replaced) {
        // The caller may tell the user why, so the cleanup keeps the failure's error code.
        const DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        SetLastError(error);
        return false;
    }
    removeStaleTemporaries(folder, target, fileTimeOf(writeTime));
    return true;
}

// The listed folder's volume, which every entry of its listing shares, and whether the volume
// numbers files with more than 64 bits (ReFS), which a listing of 64-bit ids cannot tell apart.
struct ListedVolume {
    std::uint64_t serial = 0;
    bool wideIds = false;
};

std::optional<ListedVolume> listedVolumeOf(HANDLE folder) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(folder, &info)) {
        return std::nullopt;
    }
    const FileIdentity identity = identityOf(folder, info);
    return ListedVolume{identity.volume, identity.fileHigh != 0};
}

// The two listings' records name the reparse tag and the file id each their own way.
DWORD listedTag(const FILE_ID_EXTD_DIR_INFO& info) {
    return info.ReparsePointTag;
}

// A reparse point's record carries its tag where the extended attributes' size would be.
DWORD listedTag(const FILE_ID_BOTH_DIR_INFO& info) {
    return info.EaSize;
}

std::optional<FileIdentity> listedIdentity(const FILE_ID_EXTD_DIR_INFO& info,
                                           const ListedVolume& volume) {
    FileIdentity identity{volume.serial};
    std::copy_n(info.FileId.Identifier, sizeof identity.file,
                reinterpret_cast<BYTE*>(&identity.file));
    std::copy_n(info.FileId.Identifier + sizeof identity.file, sizeof identity.fileHigh,
                reinterpret_cast<BYTE*>(&identity.fileHigh));
    const bool unknown =
        (identity.file == 0 && identity.fileHigh == 0) ||
        (identity.file == ~std::uint64_t{0} && identity.fileHigh == ~identity.file);
    return unknown ? std::nullopt : std::optional(identity);
}

std::optional<FileIdentity> listedIdentity(const FILE_ID_BOTH_DIR_INFO& info,
                                           const ListedVolume& volume) {
    const auto id = static_cast<std::uint64_t>(info.FileId.QuadPart);
    const bool unknown = volume.wideIds || id == 0 || id == ~std::uint64_t{0};
    return unknown ? std::nullopt : std::optional(FileIdentity{volume.serial, id});
}

// A link's identity is that of the link, which the listing does not say, so links have none.
template <typename Record>
FolderEntry listedEntry(const Record& info, const std::optional<ListedVolume>& volume) {
    const DWORD attributes = info.FileAttributes;
    const DWORD tag = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? listedTag(info) : 0;
    FolderEntry entry;
    entry.name = fromWide(std::wstring_view(info.FileName, info.FileNameLength / sizeof(wchar_t)));
    entry.isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.isLink = isNameSurrogate(attributes, tag);
    EntryStatus status;
    status.kind = kindOf(attributes, tag);
    status.size = info.EndOfFile.QuadPart;
    status.writeTime = static_cast<FileTime>(info.LastWriteTime.QuadPart);
    status.changeTime = static_cast<FileTime>(info.ChangeTime.QuadPart);
    if (volume && !entry.isLink) {
        status.identity = listedIdentity(info, *volume);
    }
    entry.status = status;
    return entry;
}

// Reads the open folder's listing in large batches of `Record`s; ERROR_SUCCESS once it is read to
// its end or `stop` is set.
template <typename Record>
DWORD readListingOf(FILE_INFO_BY_HANDLE_CLASS kind, HANDLE folder,
                    std::vector<FolderEntry>& entries, const std::atomic<bool>& stop) {
    constexpr std::size_t kBatchBytes = 64 * 1024;
    const std::optional<ListedVolume> volume = listedVolumeOf(folder);
    std::vector<std::uint64_t> batch(kBatchBytes / sizeof(std::uint64_t));
    while (!stop.load(std::memory_order_relaxed)) {
        if (!GetFileInformationByHandleEx(folder, kind, batch.data(),
                                          static_cast<DWORD>(kBatchBytes))) {
            const DWORD error = GetLastError();
            // An empty drive root has not even "." and "..".
            return error == ERROR_NO_MORE_FILES || error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS
                                                                                 : error;
        }
        const auto* bytes = reinterpret_cast<const unsigned char*>(batch.data());
        for (DWORD offset = 0;;) {
            const auto& info = *reinterpret_cast<const Record*>(bytes + offset);
            const std::wstring_view name(info.FileName, info.FileNameLength / sizeof(wchar_t));
            if (name != L"." && name != L"..") {
                entries.push_back(listedEntry(info, volume));
            }
            if (info.NextEntryOffset == 0) {
                break;
            }
            offset += info.NextEntryOffset;
        }
    }
    return ERROR_SUCCESS;
}

// Each entry with its status and identity, as a lookup by path would tell them. The listing of
// 128-bit ids spares the file system the short names; where it has no such listing (FAT, older
// systems, some servers), the one of 64-bit ids and short names, which every system has.
DWORD readListing(HANDLE folder, std::vector<FolderEntry>& entries, const std::atomic<bool>& stop) {
    const DWORD error =
        readListingOf<FILE_ID_EXTD_DIR_INFO>(FileIdExtdDirectoryInfo, folder, entries, stop);
    if (error == ERROR_SUCCESS || !entries.empty()) {
        return error;
    }
    return readListingOf<FILE_ID_BOTH_DIR_INFO>(FileIdBothDirectoryInfo, folder, entries, stop);
}

std::string systemErrorText(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length > 0 && text != nullptr ? std::wstring(text, length) : L"";
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                                message.back() == L' ' || message.back() == L'.')) {
        message.pop_back();
    }
    return message.empty() ? "error " + std::to_string(error) : fromWide(message);
}

}  // namespace

WindowsFileSystem::WindowsFileSystem(ReplaceHook beforeReplace)
    : beforeReplace_(std::move(beforeReplace)) {}

std::size_t WindowsFileSystem::rootLength(std::string_view path) const {
    return windowsRootLength(path);
}

EntryKind WindowsFileSystem::kindOf(const std::string& path) const {
    return targetStatus(path).kind;
}

std::string WindowsFileSystem::typedPath(const std::string& path) const {
    if (path.empty() || kindOf(path) != EntryKind::Missing) {
        return path;
    }
    const std::wstring typed = toWide(path);
    const std::wstring read = systemReading(typed);
    if (read.empty() || read == typed || read.starts_with(L"\\\\.\\") ||
        read.starts_with(L"\\\\?\\")) {
        return path;
    }
    const std::string respelt = fromWide(read);
    return kindOf(respelt) != EntryKind::Missing ? respelt : path;
}

bool WindowsFileSystem::createDirectory(const std::string& path) {
    const std::wstring wide = longPath(path);
    return !wide.empty() && CreateDirectoryW(wide.c_str(), nullptr);
}

bool WindowsFileSystem::isWritableDirectory(const std::string& path) const {
    // The read-only attribute means nothing on a folder; what counts is whether the folder's
    // security lets this user add a file, which opening it for that access asks.
    return kindOf(path) == EntryKind::Directory &&
           openPath(longPath(path), FILE_ADD_FILE, FILE_FLAG_BACKUP_SEMANTICS).valid();
}

std::optional<std::string> WindowsFileSystem::readFile(const std::string& path) const {
    const WindowsHandle handle = openPath(longPath(path), GENERIC_READ, 0);
    if (!handle.valid() || !isPlainFile(handle.get())) {
        return std::nullopt;
    }
    return readAll(handle.get());
}

bool WindowsFileSystem::editFile(const std::string& requestedPath, const FileEdit& edit) {
    const std::wstring path = resolveLinks(longPath(requestedPath));
    if (path.empty()) {
        return false;
    }
    const EditTurn turn(path);
    if (!turn.held()) {
        return false;
    }
    std::optional<std::string> current;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists) {
        // As the profile functions refuse a read-only file, so does the editor, although
        // replacing it would only need a writable folder.
        if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            return false;
        }
        const WindowsHandle in = openPlainFileNoLink(path, 0);
        if (!in.valid()) {
            return false;
        }
        current = readAll(in.get());
        if (!current) {
            return false;
        }
    } else if (GetLastError() != ERROR_FILE_NOT_FOUND) {
        return false;
    }
    const std::optional<std::string> next = edit(current);
    return !next || replaceFile(path, exists, *next, beforeReplace_);
}

bool WindowsFileSystem::copyFile(const std::string& from, const std::string& to) {
    const std::optional<std::string> contents = readFile(from);
    if (!contents) {
        return false;
    }
    return editFile(to, [&](const std::optional<std::string>&) { return contents; });
}

std::optional<std::string> WindowsFileSystem::saveFile(const std::string& requestedPath,
                                                       std::string_view contents) {
    const std::wstring path = resolveLinks(longPath(requestedPath));
    if (path.empty()) {
        return systemErrorText(ERROR_INVALID_NAME);
    }
    const DWORD attributes = GetFileAttributesW(path.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return systemErrorText(ERROR_ACCESS_DENIED);
    }
    SetLastError(ERROR_SUCCESS);
    if (replaceFile(path, exists, contents, beforeReplace_)) {
        return std::nullopt;
    }
    const DWORD error = GetLastError();
    return systemErrorText(error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT);
}

bool WindowsFileSystem::removeFile(const std::string& path) {
    const std::wstring wide = longPath(path);
    return !wide.empty() && DeleteFileW(wide.c_str());
}

bool WindowsFileSystem::listFolder(const std::string& folder, std::vector<FolderEntry>& entries,
                                   const std::atomic<bool>& stop,
                                   const StatusWanted& /*statusWanted*/,
                                   std::string* failure) const {
    entries.clear();
    const WindowsHandle handle =
        openPath(longPath(folder), FILE_LIST_DIRECTORY, FILE_FLAG_BACKUP_SEMANTICS);
    DWORD error = handle.valid() ? readListing(handle.get(), entries, stop) : GetLastError();
    if (error == ERROR_SUCCESS) {
        return true;
    }
    // A file opens as well as a folder does; only its listing is refused.
    if (error == ERROR_INVALID_PARAMETER && entries.empty()) {
        error = ERROR_DIRECTORY;
    }
    if (failure != nullptr) {
        *failure = systemMessage(error);
    }
    // Entries read before a failure part way through are kept.
    return !entries.empty();
}

EntryStatus WindowsFileSystem::entryStatus(const std::string& path) const {
    return statusOf(path, false);
}

EntryStatus WindowsFileSystem::targetStatus(const std::string& path) const {
    return statusOf(path, true);
}

namespace {

class WindowsInputFile final : public InputFile {
public:
    explicit WindowsInputFile(WindowsHandle handle) : handle_(std::move(handle)) {}

    std::int64_t read(char* buffer, std::size_t size) override {
        DWORD count = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size, kLargestTransfer));
        if (!ReadFile(handle_.get(), buffer, wanted, &count, nullptr)) {
            return -1;
        }
        return count;
    }

private:
    WindowsHandle handle_;
};

class WindowsRandomAccessFile final : public RandomAccessFile {
public:
    WindowsRandomAccessFile(WindowsHandle handle, std::int64_t size)
        : handle_(std::move(handle)), size_(size) {}

    std::int64_t size() const override { return size_; }

    std::int64_t readAt(std::uint64_t offset, char* buffer, std::size_t count) override {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD read = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(count, kLargestTransfer));
        if (!ReadFile(handle_.get(), buffer, wanted, &read, &at)) {
            return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
        }
        return read;
    }

private:
    WindowsHandle handle_;
    std::int64_t size_;
};

}  // namespace

// Shared for reading, writing and deleting, so a search never stands in the way of a program
// that writes or removes the file meanwhile.
std::unique_ptr<InputFile> WindowsFileSystem::openForContent(const std::string& path,
                                                             std::string* failure) const {
    WindowsHandle handle = openPlainFileNoLink(longPath(path), FILE_FLAG_SEQUENTIAL_SCAN);
    if (!handle.valid()) {
        // Only the refusals of a file that is there: a link or a folder is no file to read.
        const DWORD error = GetLastError();
        if (failure != nullptr &&
            (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
             error == ERROR_LOCK_VIOLATION)) {
            *failure = systemMessage(error);
        }
        return nullptr;
    }
    return std::make_unique<WindowsInputFile>(std::move(handle));
}

std::unique_ptr<RandomAccessFile> WindowsFileSystem::openForRandomAccess(
    const std::string& path) const {
    WindowsHandle handle = openPath(longPath(path), GENERIC_READ, FILE_FLAG_RANDOM_ACCESS);
    LARGE_INTEGER size{};
    if (!handle.valid() || !isPlainFile(handle.get()) || !GetFileSizeEx(handle.get(), &size)) {
        return nullptr;
    }
    return std::make_unique<WindowsRandomAccessFile>(std::move(handle), size.QuadPart);
}

bool WindowsFileSystem::createNewFile(const std::string& path, std::string_view contents) {
    const std::wstring wide = longPath(path);
    WindowsHandle out = openPath(wide, GENERIC_WRITE, FILE_ATTRIBUTE_NORMAL, CREATE_NEW, 0);
    if (!out.valid()) {
        return false;
    }
    if (!writeAll(out.get(), contents) || !FlushFileBuffers(out.get())) {
        out.reset();
        DeleteFileW(wide.c_str());
        return false;
    }
    return true;
}

namespace {

std::wstring temporaryFolderBase() {
    std::wstring base(MAX_PATH + 1, L'\0');
    for (;;) {
        const DWORD length = GetTempPathW(static_cast<DWORD>(base.size()), base.data());
        if (length == 0) {
            return {};
        }
        if (length < base.size()) {
            base.resize(length);
            return base;
        }
        base.resize(length + 1);
    }
}

// "Only this user, and whatever is made inside": a protected access list with the user's own
// account alone, so that a temporary folder set to a shared place stays private too.
std::wstring userOnlySecurity() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return {};
    }
    const WindowsHandle owned(token);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    LPWSTR sidText = nullptr;
    if (size == 0 || !GetTokenInformation(token, TokenUser, buffer.data(), size, &size) ||
        !ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &sidText)) {
        return {};
    }
    std::wstring security = L"D:P(A;OICI;FA;;;" + std::wstring(sidText) + L")";
    LocalFree(sidText);
    return security;
}

bool createFolderForUser(const std::wstring& path, const std::wstring& security) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (security.empty() || !ConvertStringSecurityDescriptorToSecurityDescriptorW(
                                security.c_str(), SDDL_REVISION_1, &descriptor, nullptr)) {
        return CreateDirectoryW(path.c_str(), nullptr);
    }
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    const bool created = CreateDirectoryW(path.c_str(), &attributes);
    LocalFree(descriptor);
    return created;
}

}  // namespace

std::string WindowsFileSystem::createPrivateTemporaryFolder(const std::string& prefix) {
    const std::wstring base = temporaryFolderBase();
    if (base.empty()) {
        return {};
    }
    const std::wstring security = userOnlySecurity();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring unique = uniquePart(12);
        if (unique.empty()) {
            return {};
        }
        const std::wstring folder = base + toWide(prefix) + unique;
        if (createFolderForUser(longPath(folder), security)) {
            return fromWide(folder) + "\\";
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            return {};
        }
    }
    return {};
}

bool WindowsFileSystem::setWriteTime(const std::string& path, FileTime time) {
    const WindowsHandle handle =
        openPath(longPath(path), FILE_WRITE_ATTRIBUTES, FILE_FLAG_BACKUP_SEMANTICS);
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const FILETIME written = toFiletime(time);
    return handle.valid() && SetFileTime(handle.get(), nullptr, &now, &written);
}

// Files here carry no owner-only permissions: what the program makes lies in the user's own
// profile, which others cannot enter, and only the read-only attribute can stand in its way.
bool WindowsFileSystem::setAccess(const std::string& path, FileAccess) {
    return setReadOnly(path, false);
}

bool WindowsFileSystem::restoreAccess(const std::string& path, const ArchivedAccess& access) {
    constexpr std::uint32_t kOwnerWrite = 0200;
    return setReadOnly(path,
                       access.unixMode ? (*access.unixMode & kOwnerWrite) == 0 : access.readOnly);
}

bool WindowsFileSystem::setReadOnly(const std::string& path, bool readOnly) {
    const std::wstring wide = longPath(path);
    const DWORD attributes =
        wide.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return false;
    }
    const DWORD wanted = readOnly ? attributes | FILE_ATTRIBUTE_READONLY
                                  : attributes & ~DWORD{FILE_ATTRIBUTE_READONLY};
    return wanted == attributes || SetFileAttributesW(wide.c_str(), wanted);
}

bool WindowsFileSystem::renameEntry(const std::string& from, const std::string& to) {
    const std::wstring source = longPath(from);
    const std::wstring target = longPath(to);
    return !source.empty() && !target.empty() &&
           MoveFileExW(source.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

bool WindowsFileSystem::removeFolder(const std::string& path) {
    const std::wstring wide = longPath(path);
    return !wide.empty() && RemoveDirectoryW(wide.c_str());
}

namespace {

class UnsharedFileLock : public HeldLock {
public:
    explicit UnsharedFileLock(WindowsHandle handle) : handle_(std::move(handle)) {}

private:
    WindowsHandle handle_;
};

}  // namespace

std::unique_ptr<HeldLock> WindowsFileSystem::tryLock(const std::string& path) {
    const std::wstring wide = longPath(path);
    if (wide.empty()) {
        return nullptr;
    }
    WindowsHandle handle(CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                     OPEN_ALWAYS, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!handle.valid() || !isPlainFile(handle.get())) {
        return nullptr;
    }
    return std::make_unique<UnsharedFileLock>(std::move(handle));
}

std::unique_ptr<MappedFile> WindowsFileSystem::mapFile(const std::string& path) const {
    return WindowsMappedFile::open(longPath(path));
}

bool WindowsFileSystem::keepCopy(const std::string& from, const std::string& to) {
    const std::wstring source = longPath(from);
    const std::wstring target = longPath(to);
    if (source.empty() || target.empty()) {
        return false;
    }
    if (CreateHardLinkW(target.c_str(), source.c_str(), nullptr)) {
        return true;
    }
    if (GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    // The copy takes its name by a rename once whole, as a link would have appeared.
    const std::wstring partial = target + L".partial";
    DeleteFileW(partial.c_str());
    if (!CopyFileW(source.c_str(), partial.c_str(), TRUE)) {
        return false;
    }
    bool flushed = false;
    {
        const WindowsHandle copy = openPath(partial, GENERIC_WRITE, FILE_ATTRIBUTE_NORMAL);
        flushed = copy.valid() && FlushFileBuffers(copy.get());
    }
    if (!flushed || !MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(partial.c_str());
        return false;
    }
    return true;
}

}  // namespace quillfen::platform
