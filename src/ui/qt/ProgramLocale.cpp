#include "ui/qt/ProgramLocale.h"

#include <QLocale>
#include <QString>
#include <charconv>
#include <string>

#include "platform/linux/SystemLocale.h"
#include "ui/ConfigDialogPresenter.h"

namespace quillfen::qt {

void ProgramLocale::apply() {
    const std::string id = ConfigDialogPresenter::currentLanguageId();
    int languageId = 0;
    const auto [end, error] = std::from_chars(id.data(), id.data() + id.size(), languageId);
    if (error != std::errc() || end != id.data() + id.size()) {
        return;
    }
    const std::string name = platform::SystemLocale::localeNameFor(languageId);
    if (!name.empty()) {
        QLocale::setDefault(QLocale(QString::fromStdString(name)));
    }
}

}  // namespace quillfen::qt
