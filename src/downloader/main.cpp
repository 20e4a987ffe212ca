#include <curl/curl.h>

#include <cstdio>

#include "downloader/Download.h"

int main(int argc, char** argv) {
    quillfen::downloader::DownloadRequest request;
    if (!quillfen::downloader::parseArguments(argc, argv, request)) {
        std::fputs("usage: quilldown /d LINK TARGET SIZE PROGRAM\n", stderr);
        return 2;
    }
    curl_global_init(CURL_GLOBAL_DEFAULT);
    const auto result = quillfen::downloader::download(request);
    curl_global_cleanup();
    return result == quillfen::downloader::DownloadResult::Complete ? 0 : 1;
}
