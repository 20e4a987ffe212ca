// Every input is a file's bytes with a code page chosen by its first byte and a split point. The
// fold must not depend on how the bytes are cut into reads or whether it folds in place or into
// another buffer, and folding twice must change nothing more.
#include <array>
#include <map>

#include "FuzzSupport.h"
#include "search/ChunkSearch.h"
#include "search/CodePageFolding.h"

namespace {

// Single-byte code pages of several scripts and the double-byte ones, whose second bytes must
// never be folded.
constexpr std::array<unsigned, 16> kCodePages = {1252, 1250, 1251, 1253, 1254, 1255, 1256, 1257,
                                                 1258, 874,  437,  850,  866,  932,  936,  949};

const quillfen::CodePageFolding& foldingFor(unsigned choice) {
    static std::map<unsigned, quillfen::CodePageFolding> made;
    const unsigned codePage = kCodePages[choice % kCodePages.size()];
    auto found = made.find(codePage);
    if (found == made.end()) {
        const auto& text = quillfen::platform::currentPlatform().text();
        found = made.emplace(codePage, text.knowsCodePage(codePage)
                                           ? quillfen::CodePageFolding(text, codePage)
                                           : quillfen::CodePageFolding())
                    .first;
    }
    return found->second;
}

std::string foldedInTwoReads(const quillfen::CodePageFolding& folding, std::string bytes,
                             std::size_t cut) {
    bool afterLeadByte = false;
    folding.fold(bytes.data(), cut, afterLeadByte);
    folding.fold(bytes.data() + cut, bytes.size() - cut, afterLeadByte);
    return bytes;
}

std::string foldedIntoCopy(const quillfen::CodePageFolding& folding, std::string_view bytes,
                           std::size_t cut) {
    std::string copy(bytes.size(), '\0');
    bool afterLeadByte = false;
    folding.foldInto(bytes.data(), copy.data(), cut, afterLeadByte);
    folding.foldInto(bytes.data() + cut, copy.data() + cut, bytes.size() - cut, afterLeadByte);
    return copy;
}

void checkFolding(const quillfen::CodePageFolding& folding, std::string_view bytes,
                  std::size_t cut) {
    const std::string whole = folding.folded(bytes);
    FUZZ_CHECK(whole.size() == bytes.size());
    FUZZ_CHECK(foldedInTwoReads(folding, std::string(bytes), cut) == whole);
    FUZZ_CHECK(foldedIntoCopy(folding, bytes, cut) == whole);
    FUZZ_CHECK(folding.folded(whole) == whole);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    quillfen::fuzz::installLinuxPlatform();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quillfen::fuzz::InputFields fields(data, size);
    const unsigned choice = fields.byte();
    const unsigned cutChoice = fields.byte();
    const std::string_view bytes = fields.rest();
    const std::size_t cut = bytes.empty() ? 0 : cutChoice % (bytes.size() + 1);

    checkFolding(foldingFor(choice), bytes, cut);

    static const quillfen::CodePageFolding ascii;
    checkFolding(ascii, bytes, cut);
    std::string byAsciiRule(bytes);
    quillfen::foldAsciiLetters(byAsciiRule.data(), byAsciiRule.size());
    FUZZ_CHECK(ascii.folded(bytes) == byAsciiRule);
    return 0;
}
