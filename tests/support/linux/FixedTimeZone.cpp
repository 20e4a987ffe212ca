#include "support/FixedTimeZone.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace quillfen::test {

namespace {

// A POSIX TZ rule for the offset: "<+0200>-02:00" is two hours east of UTC (the rule counts west).
std::string zoneRule(int minutesEastOfUtc) {
    const int minutes = std::abs(minutesEastOfUtc);
    char rule[32];
    std::snprintf(rule, sizeof rule, "<%c%02d%02d>%s%02d:%02d", minutesEastOfUtc < 0 ? '-' : '+',
                  minutes / 60, minutes % 60, minutesEastOfUtc > 0 ? "-" : "", minutes / 60,
                  minutes % 60);
    return rule;
}

}  // namespace

// The Linux clock follows the process's TZ variable.
struct FixedTimeZone::Saved {
    std::optional<std::string> zone;
};

FixedTimeZone::FixedTimeZone(int minutesEastOfUtc) : saved_(std::make_unique<Saved>()) {
    if (const char* zone = std::getenv("TZ")) {
        saved_->zone = zone;
    }
    setenv("TZ", zoneRule(minutesEastOfUtc).c_str(), 1);
    tzset();
}

FixedTimeZone::~FixedTimeZone() {
    if (saved_->zone) {
        setenv("TZ", saved_->zone->c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}

}  // namespace quillfen::test
