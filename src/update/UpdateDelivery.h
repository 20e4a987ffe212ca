#pragma once

#include <string>

#include "update/UpdateAnswer.h"

namespace quillfen {

struct UpdateDownload;

// Brings a newer version onto this copy of the program, the way its installation takes one: a
// copy that runs from where it was unpacked replaces its files in place, a copy that a setup
// program installed runs the new setup silently, and a copy that the system's package manager
// installed is never written to, only told of the version. Nothing fetched is unpacked or run
// before its size and its Ed25519 signature have passed. The caller holds the user's update lock
// for as long as the object works.
class UpdateDelivery {
public:
    // The user's private update folder, which holds the downloader, and the folder inside it that
    // receives the downloads; both end with a separator.
    UpdateDelivery(std::string updateFolder, std::string downloadFolder);

    // Removes what earlier runs left: their downloads, and what a killed in-place update left in
    // the program's folder (undone, or finished when it had passed its check).
    void clearEarlierRuns() const;
    // The server announces nothing newer than this program.
    void nothingNewer() const;
    // The announced version is newer than this program.
    void deliver(const UpdateAnswer& answer) const;

private:
    // The downloaded file, once it has the announced size and a valid signature; empty when it
    // does not.
    std::string fetchVerified(const UpdateDownload& download, const std::string& fileName) const;
    void installInPlace(const std::string& archive, const std::string& version) const;
    void runSetup(const std::string& setup) const;
    void removeDownloads() const;

    std::string updateFolder_;
    std::string downloadFolder_;
};

}  // namespace quillfen
