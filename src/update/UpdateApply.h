#pragma once

#include <string>

namespace quillfen {

// Unpacks the downloader that the program carries (the first entry of a zip archive stored with
// every byte complemented) to `downloaderPath`, by way of two work files beside it. Returns
// whether the downloader is in place; failures leave no work file behind.
bool installDownloader(const std::string& downloaderPath);

// Runs the downloader once per announced link, waiting for each, until a download has the
// announced size: 0 then, -1 when no link got there. Links that are not plain http or https
// addresses, or that hold quotes, blanks or control characters, are skipped before any command
// line is built. A link is an archive by its path alone, query and fragment aside. An archive
// link downloads into `targetFolder` (the program's folder when that is empty or missing); any
// other link into `temporaryFolder` under the last segment of its path, which must be a plain
// file name, and a download there that misses the announced size is removed.
int downloadUpdate(const std::string& downloaderPath, const std::string& links,
                   const std::string& size, const std::string& targetFolder, bool downloadMode,
                   const std::string& temporaryFolder);

// Whether a link may be handed to the downloader.
bool isAcceptableLink(const std::string& link);

}  // namespace quillfen
