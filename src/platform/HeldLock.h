#pragma once

namespace quillfen::platform {

// A lock on a file that this process holds until the object goes. The system lets go of it when
// the process ends, however it ends, so a killed holder never leaves it taken.
class HeldLock {
public:
    HeldLock() = default;
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;
    virtual ~HeldLock() = default;
};

}  // namespace quillfen::platform
