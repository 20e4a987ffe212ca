#include "ui/qt/QtDesktopShell.h"

#include <QByteArray>
#include <QClipboard>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

#include "platform/Platform.h"
#include "platform/linux/CommandOutput.h"
#include "platform/linux/FileUri.h"
#include "platform/linux/MimeClipboard.h"
#include "platform/linux/gio/GioTrash.h"
#include "ui/qt/FileMimeData.h"
#include "ui/qt/PortalAppChooser.h"
#include "ui/qt/ProgramChooser.h"
#include "ui/qt/QtControls.h"

namespace quillfen::qt {

namespace {

// The URL is parsed from the percent-encoded bytes, never from a QString of the path, which would
// turn bytes that are not valid UTF-8 into replacement characters and name another file.
QUrl fileUrl(const std::string& path) {
    return QUrl::fromEncoded(QByteArray::fromStdString(platform::fileUri(path)), QUrl::StrictMode);
}

std::string parentFolder(const std::string& path) {
    const auto separator = path.rfind('/');
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

void openParentFolder(const std::string& path) {
    if (const std::string folder = parentFolder(path); !folder.empty()) {
        QDesktopServices::openUrl(fileUrl(folder));
    }
}

// The first line of a helper's answer, or nothing when it failed or said nothing.
std::optional<std::string> firstLineOf(const std::vector<std::string>& command) {
    const std::optional<std::string> output = platform::commandOutput(command);
    if (!output) {
        return std::nullopt;
    }
    std::string line = output->substr(0, output->find('\n'));
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r' || line.back() == '\t')) {
        line.pop_back();
    }
    return line.empty() ? std::nullopt : std::optional(line);
}

void putOnClipboard(const platform::MimeClipboard& content) {
    QGuiApplication::clipboard()->setMimeData(mimeDataOf(content));
}

// The project's own chooser stands in where no portal answers: the user picks a program file.
void chooseProgramFor(const std::string& path) {
    ProgramChooser dialog;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    const std::string program = QtControls::toBytes(dialog.selectedFiles().front());
    platform::currentPlatform().processes().launch({program, path}, platform::LaunchOptions{});
}

}  // namespace

void QtDesktopShell::openWithDefaultApplication(const std::string& path) {
    QDesktopServices::openUrl(fileUrl(path));
}

// xdg-mime answers as xdg-open decides, so the check agrees with what opening will do. The path
// is one argument of the helper, never part of a command text.
bool QtDesktopShell::hasDefaultApplication(const std::string& path) const {
    const std::optional<std::string> type = firstLineOf({"xdg-mime", "query", "filetype", path});
    return type && firstLineOf({"xdg-mime", "query", "default", *type}).has_value();
}

// The call is asynchronous: a file manager started by D-Bus activation may take seconds to answer,
// and the list stays usable meanwhile. Without a file manager on the bus the folder opens instead.
void QtDesktopShell::showInFolder(const std::string& path) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openParentFolder(path);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    const std::string uri = platform::fileUri(path);
    call << QStringList{QString::fromLatin1(uri.data(), static_cast<qsizetype>(uri.size()))}
         << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [path](QDBusPendingCallWatcher* finished) {
                         if (finished->isError()) {
                             openParentFolder(path);
                         }
                         finished->deleteLater();
                     });
}

void QtDesktopShell::putFilesOnClipboard(const std::vector<std::string>& paths,
                                         platform::FileTransfer transfer) {
    putOnClipboard(platform::MimeClipboard::ofFiles(paths, transfer));
}

void QtDesktopShell::putTextOnClipboard(const std::string& text) {
    putOnClipboard(platform::MimeClipboard::ofText(text));
}

}  // namespace quillfen::qt

namespace quillfen::qt {

void QtDesktopShell::openWithChosenApplication(const std::string& path) {
    PortalAppChooser::open(path, chooseProgramFor);
}

std::optional<std::string> QtDesktopShell::moveToTrash(const std::string& path) {
    return platform::moveToFreedesktopTrash(path);
}

}  // namespace quillfen::qt
