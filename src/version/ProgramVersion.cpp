#include "version/ProgramVersion.h"

namespace quillfen {

const char* programVersion() {
    return QUILLFEN_VERSION;
}

}  // namespace quillfen
