#include "ui/qt/PortalAppChooser.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDBusUnixFileDescriptor>

namespace quillfen::qt {

namespace {

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
// The portal's answer when it could not do what was asked, as opposed to the user cancelling.
constexpr uint kPortalFailed = 2;

// Each request gets a token of its own, so that the request's object path is known before the
// call and its answer cannot be missed.
QString nextToken() {
    static int counter = 0;
    return QStringLiteral("quillfen_%1").arg(++counter);
}

// The sender's unique bus name, ":1.42", becomes "1_42" in the request's path.
QString requestPathFor(const QDBusConnection& bus, const QString& token) {
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
}

}  // namespace

PortalAppChooser::PortalAppChooser(std::string path, Fallback fallback)
    : path_(std::move(path)), fallback_(std::move(fallback)) {}

// The portal takes the file as an open descriptor, never as a name it would have to resolve, so
// a name in any encoding reaches the chosen program unchanged.
void PortalAppChooser::open(const std::string& path, Fallback fallback) {
    const int fd = ::open(path.c_str(), O_PATH | O_CLOEXEC);
    if (fd < 0 || !QDBusConnection::sessionBus().isConnected()) {
        if (fd >= 0) {
            ::close(fd);
        }
        if (fallback) {
            fallback(path);
        }
        return;
    }
    (new PortalAppChooser(path, std::move(fallback)))->start(fd);
}

void PortalAppChooser::start(int fd) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QDBusUnixFileDescriptor file(fd);
    ::close(fd);
    const QString token = nextToken();
    requestPath_ = requestPathFor(bus, token);
    bus.connect(kPortalService, requestPath_, QStringLiteral("org.freedesktop.portal.Request"),
                QStringLiteral("Response"), this, SLOT(onResponse(uint, QVariantMap)));
    QDBusMessage call = QDBusMessage::createMethodCall(
        kPortalService, QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.OpenURI"), QStringLiteral("OpenFile"));
    call << QString() << QVariant::fromValue(file)
         << QVariantMap{{QStringLiteral("ask"), true}, {QStringLiteral("handle_token"), token}};
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* finished) {
                finished->deleteLater();
                if (finished->isError()) {
                    fallBack();
                }
            });
}

void PortalAppChooser::onResponse(uint response, const QVariantMap&) {
    if (response == kPortalFailed) {
        fallBack();
        return;
    }
    deleteLater();
}

void PortalAppChooser::fallBack() {
    QDBusConnection::sessionBus().disconnect(
        kPortalService, requestPath_, QStringLiteral("org.freedesktop.portal.Request"),
        QStringLiteral("Response"), this, SLOT(onResponse(uint, QVariantMap)));
    const Fallback fallback = std::move(fallback_);
    const std::string path = path_;
    deleteLater();
    if (fallback) {
        fallback(path);
    }
}

}  // namespace quillfen::qt
