// Every input is an update server's answer; its links and three versions cut from it are judged
// as the update judges them. Version comparison must be an order (antisymmetric and transitive),
// and a link may only ever become a plain archive name.
#include "FuzzSupport.h"
#include "app/TextUtilities.h"
#include "downloadlink/DownloadLink.h"
#include "update/UpdateAnswer.h"

namespace {

namespace link = quillfen::downloadlink;

void checkLink(std::string_view text) {
    const std::string_view path = link::linkPath(text);
    FUZZ_CHECK(text.substr(0, path.size()) == path);
    FUZZ_CHECK(path.find_first_of("?#") == std::string_view::npos);
    const std::string name = link::linkFileName(text);
    FUZZ_CHECK(name.find('/') == std::string::npos);
    FUZZ_CHECK(path.ends_with(name));
    if (link::isArchiveFileName(name)) {
        FUZZ_CHECK(link::isPlainFileName(name));
        FUZZ_CHECK(link::isArchiveLink(text));
    }
    if (link::isPlainFileName(name)) {
        FUZZ_CHECK(name != "." && name != ".." && name.find('\\') == std::string::npos);
        FUZZ_CHECK(name.find(':') == std::string::npos);
    }
}

void checkVersionOrder(std::string_view a, std::string_view b, std::string_view c) {
    const int ab = quillfen::compareVersions(a, b);
    FUZZ_CHECK(ab >= -1 && ab <= 1);
    FUZZ_CHECK(quillfen::compareVersions(b, a) == -ab);
    FUZZ_CHECK(quillfen::compareVersions(a, a) == 0);
    const int bc = quillfen::compareVersions(b, c);
    const int ac = quillfen::compareVersions(a, c);
    if (ab <= 0 && bc <= 0) {
        FUZZ_CHECK(ac <= 0);
        FUZZ_CHECK(ac < 0 || (ab == 0 && bc == 0));
    }
    if (ab == 0) {
        FUZZ_CHECK(ac == bc);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quillfen::fuzz::InputFields fields(data, size);
    const std::string_view first = fields.text();
    const std::string_view second = fields.text();
    const std::string_view raw = fields.rest();

    const std::string lines = quillfen::answerLines(raw);
    FUZZ_CHECK(lines.empty() || lines.ends_with("\r\n"));
    const auto answer = quillfen::parseUpdateAnswer(lines);
    const std::string_view third = answer ? std::string_view(answer->version) : raw;
    checkVersionOrder(first, second, third);
    if (answer) {
        for (const std::string& text : quillfen::splitText(answer->links, ";")) {
            checkLink(text);
        }
    }
    checkLink(raw);
    return 0;
}
