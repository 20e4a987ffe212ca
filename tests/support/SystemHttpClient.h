#pragma once

#include <memory>

#include "platform/HttpClient.h"

namespace quillfen::test {

// The HTTP client the program uses on this system (a source file per system), set up to reach
// the tests' own servers on 127.0.0.1 directly.
std::unique_ptr<platform::HttpClient> makeSystemHttpClient();

}  // namespace quillfen::test
