#pragma once

#include <memory>

namespace quillfen::test {

// The installed platform's clock shows local times at a fixed offset from UTC, without
// daylight-saving time, for the lifetime of the object; the zone before it afterwards. Each
// system fixes the zone its own way, so no zone database is needed.
class FixedTimeZone {
public:
    explicit FixedTimeZone(int minutesEastOfUtc);
    FixedTimeZone(const FixedTimeZone&) = delete;
    FixedTimeZone& operator=(const FixedTimeZone&) = delete;
    ~FixedTimeZone();

private:
    struct Saved;
    std::unique_ptr<Saved> saved_;
};

}  // namespace quillfen::test
