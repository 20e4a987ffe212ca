#include "support/FixedTimeZone.h"

#include "platform/Platform.h"
#include "platform/windows/WindowsClock.h"

namespace quillfen::test {

namespace {

TIME_ZONE_INFORMATION zoneAt(int minutesEastOfUtc) {
    TIME_ZONE_INFORMATION zone{};
    zone.Bias = -minutesEastOfUtc;
    return zone;
}

}  // namespace

// The platform installed before, with a Windows clock in the fixed zone in place of its own.
struct FixedTimeZone::Saved final : platform::Platform {
    explicit Saved(int minutesEastOfUtc)
        : previous(platform::currentPlatform()), clock_(zoneAt(minutesEastOfUtc)) {}

    platform::FileSystem& files() override { return previous.files(); }
    platform::ProcessLauncher& processes() override { return previous.processes(); }
    platform::SystemInfo& system() override { return previous.system(); }
    platform::TextServices& text() override { return previous.text(); }
    platform::Clock& clock() override { return clock_; }
    platform::Volumes& volumes() override { return previous.volumes(); }
    platform::FileTypes& fileTypes() override { return previous.fileTypes(); }
    platform::HttpClient& http() override { return previous.http(); }
    platform::ProgramResources& resources() override { return previous.resources(); }
    platform::DiskIdentity& disks() override { return previous.disks(); }
    platform::Digests& digests() override { return previous.digests(); }
    platform::SignatureVerifier& signatures() override { return previous.signatures(); }

    platform::Platform& previous;
    platform::WindowsClock clock_;
};

FixedTimeZone::FixedTimeZone(int minutesEastOfUtc)
    : saved_(std::make_unique<Saved>(minutesEastOfUtc)) {
    platform::installPlatform(saved_.get());
}

FixedTimeZone::~FixedTimeZone() {
    platform::installPlatform(&saved_->previous);
}

}  // namespace quillfen::test
