#pragma once

namespace quillfen {

// The version of this build, such as "1.3.3.20220312": a build setting, compiled into this one
// object alone, so that a build of another version differs by one object file.
const char* programVersion();

}  // namespace quillfen
