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
    const auto result =
        quillfen::downloader::download(request, quillfen::downloader::timeLimitFromEnvironment());
    curl_global_cleanup();
    switch (result) {
        case quillfen::downloader::DownloadResult::Complete:
            return 0;
        case quillfen::downloader::DownloadResult::BadRequest:
            std::fprintf(stderr, "quilldown: refusing to write %s from %s\n",
                         request.target.c_str(), request.link.c_str());
            return 2;
        case quillfen::downloader::DownloadResult::Failed:
            break;
    }
    return 1;
}
