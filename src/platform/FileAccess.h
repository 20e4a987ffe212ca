#pragma once

namespace quillfen::platform {

// Who may use a file or folder the program made, in terms every system can honour: where a
// system has no owner-only permissions on files, the user's own folders already keep others out.
enum class FileAccess {
    // Only the user: the update folder and its downloads.
    Private,
    // A program only the user runs: the downloader.
    PrivateProgram,
    // The user writes, everyone reads: an entry a file manager reads.
    Shared,
    // The user writes, everyone reads and runs: a script a file manager starts.
    SharedProgram,
};

}  // namespace quillfen::platform
