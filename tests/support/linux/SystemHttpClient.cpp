#include "support/SystemHttpClient.h"

#include <cstdlib>

#include "platform/linux/curl/CurlHttpClient.h"

namespace quillfen::test {

std::unique_ptr<platform::HttpClient> makeSystemHttpClient() {
    // libcurl takes its proxy from the environment; a proxy there must not stand between the
    // tests and their loopback servers.
    ::setenv("no_proxy", "*", 1);
    return std::make_unique<platform::CurlHttpClient>();
}

}  // namespace quillfen::test
