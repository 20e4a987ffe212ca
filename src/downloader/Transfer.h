#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace quillfen::downloader {

// Gets the body piece by piece; returning false ends the transfer as failed.
using Receiver = std::function<bool(std::string_view piece)>;

// One GET over http or https with the system's network layer (a source file per system): up to
// five redirects, each on the scheme it came from or from http up to https; the whole transfer
// ends after `timeLimit`, and a body longer than `maxBytes` ends it as well. The final HTTP
// status, or 0 when the transfer failed.
int transfer(const std::string& link, std::uint64_t maxBytes, std::chrono::seconds timeLimit,
             const Receiver& receive);

}  // namespace quillfen::downloader
