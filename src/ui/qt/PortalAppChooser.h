#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>
#include <functional>
#include <string>

namespace quillfen::qt {

// The desktop portal's application chooser for one file: OpenURI.OpenFile with "ask". The
// portal answers the call at once and the user's choice later, on a request object whose
// Response signal is watched from before the call, as the portal's protocol asks; when the call
// fails or the portal answers that it could not show a chooser, the fallback runs instead.
class PortalAppChooser : public QObject {
    Q_OBJECT

public:
    using Fallback = std::function<void(const std::string& path)>;

    // Starts the chooser and returns; the object deletes itself when the portal has answered.
    static void open(const std::string& path, Fallback fallback);

private slots:
    void onResponse(uint response, const QVariantMap& results);

private:
    PortalAppChooser(std::string path, Fallback fallback);
    void start(int fd);
    void fallBack();

    std::string path_;
    Fallback fallback_;
    QString requestPath_;
};

}  // namespace quillfen::qt
