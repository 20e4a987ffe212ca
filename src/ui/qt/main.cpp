#include <cstdint>
#include <memory>
#include <span>

#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/crypto/OpenSslDigests.h"
#include "platform/linux/crypto/OpenSslSignatureVerifier.h"
#include "platform/linux/curl/CurlHttpClient.h"
#include "ui/ProgramStart.h"
#include "ui/qt/QtProgram.h"

extern "C" const std::uint8_t quillfen_downloader_archive_begin[];
extern "C" const std::uint8_t quillfen_downloader_archive_end[];

int main(int argc, char** argv) {
    quillfen::platform::LinuxPlatform platform(
        std::span(quillfen_downloader_archive_begin, quillfen_downloader_archive_end),
        std::make_unique<quillfen::platform::CurlHttpClient>(),
        std::make_unique<quillfen::platform::OpenSslDigests>(),
        std::make_unique<quillfen::platform::OpenSslSignatureVerifier>());
    quillfen::platform::installPlatform(&platform);
    return quillfen::startProgram(argc, argv, quillfen::qt::QtProgram::courses(argc, argv));
}
