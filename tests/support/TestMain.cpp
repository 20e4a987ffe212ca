#include <gtest/gtest.h>

#include <memory>

#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/crypto/OpenSslDigests.h"
#include "platform/linux/crypto/OpenSslSignatureVerifier.h"
#include "platform/linux/curl/CurlHttpClient.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    quillfen::platform::LinuxPlatform platform(
        {}, std::make_unique<quillfen::platform::CurlHttpClient>(),
        std::make_unique<quillfen::platform::OpenSslDigests>(),
        std::make_unique<quillfen::platform::OpenSslSignatureVerifier>());
    quillfen::platform::installPlatform(&platform);
    return RUN_ALL_TESTS();
}
