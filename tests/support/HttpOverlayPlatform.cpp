#include "support/HttpOverlayPlatform.h"

namespace quillfen::test {

HttpOverlayPlatform::HttpOverlayPlatform(platform::HttpClient& http)
    : previous_(platform::currentPlatform()), http_(http) {
    platform::installPlatform(this);
}

HttpOverlayPlatform::~HttpOverlayPlatform() {
    platform::installPlatform(&previous_);
}

}  // namespace quillfen::test
