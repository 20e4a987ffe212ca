// Every input is a program file, the first byte choosing the icon group asked for. The icon must
// be the same whether the reader takes the program from a file or from memory, and whatever it
// returns must be a well-formed icon file.
#include "FuzzSupport.h"
#include "platform/RandomAccessFile.h"
#include "results/IcoFile.h"
#include "results/PeIconReader.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    quillfen::fuzz::installLinuxPlatform();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quillfen::fuzz::InputFields fields(data, size);
    // -4 to 3: group identifiers and group positions, both small in real programs.
    const int index = static_cast<int>(fields.byte() % 8) - 4;
    const std::string_view program = fields.rest();

    const auto fromMemory = quillfen::PeIconReader::iconFileFromBytes(program, index);

    static const quillfen::fuzz::InputFile file("quillfen-pe-fuzz");
    file.write(program);
    const auto opened =
        quillfen::platform::currentPlatform().files().openForRandomAccess(file.path());
    FUZZ_CHECK(opened != nullptr);
    quillfen::PeIconReader reader(*opened);
    const auto fromFile = reader.iconFile(index);

    FUZZ_CHECK(fromMemory == fromFile);
    if (fromMemory) {
        const auto images = quillfen::IcoFile::images(*fromMemory);
        FUZZ_CHECK(images.has_value());
        FUZZ_CHECK(images->size() <= quillfen::PeIconReader::kMaxImages);
        FUZZ_CHECK(quillfen::IcoFile::assemble(*images) == *fromMemory);
    }
    // The icon file reader on its own: what it accepts it can write back as an equal icon.
    if (const auto images = quillfen::IcoFile::images(program)) {
        FUZZ_CHECK(!images->empty());
        const std::string assembled = quillfen::IcoFile::assemble(*images);
        const auto again = quillfen::IcoFile::images(assembled);
        FUZZ_CHECK(again.has_value() && again->size() == images->size());
        for (std::size_t i = 0; i < images->size(); ++i) {
            FUZZ_CHECK((*again)[i].data == (*images)[i].data);
            FUZZ_CHECK((*again)[i].width == (*images)[i].width);
        }
    }
    return 0;
}
