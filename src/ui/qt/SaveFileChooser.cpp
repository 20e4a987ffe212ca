#include "ui/qt/SaveFileChooser.h"

#include <QFileDialog>
#include <QStringList>

#include "ui/qt/QtControls.h"

namespace quillfen::qt {

namespace {

// "*.csv" gives "csv".
QString extensionOf(const FileFilter& filter) {
    const auto dot = filter.pattern.rfind('.');
    return dot == std::string::npos ? QString()
                                    : QtControls::fromBytes(filter.pattern.substr(dot + 1));
}

}  // namespace

std::optional<SaveChoice> chooseSaveFile(QWidget* owner, const std::string& title,
                                         const std::vector<FileFilter>& filters) {
    QFileDialog dialog(owner, QtControls::fromBytes(title));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    QStringList names;
    for (const FileFilter& filter : filters) {
        names << QtControls::fromBytes(filter.label + " (" + filter.pattern + ")");
    }
    dialog.setNameFilters(names);
    const auto useFilter = [&](const QString& name) {
        const qsizetype index = names.indexOf(name);
        if (index >= 0) {
            dialog.setDefaultSuffix(extensionOf(filters[static_cast<std::size_t>(index)]));
        }
    };
    if (!names.isEmpty()) {
        useFilter(names.front());
    }
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, useFilter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const qsizetype chosen = names.indexOf(dialog.selectedNameFilter());
    return SaveChoice{QtControls::toBytes(dialog.selectedFiles().front()),
                      chosen < 0 ? 0 : static_cast<std::size_t>(chosen)};
}

}  // namespace quillfen::qt
