#include "downloader/Download.h"

int main(int argc, char** argv) {
    return quillfen::downloader::runDownloader(argc, argv);
}
