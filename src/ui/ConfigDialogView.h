#pragma once

#include <string>

#include "ui/ConfigControl.h"
#include "ui/ControlView.h"

namespace quillfen {

// What the configuration dialog's presenter asks of a window toolkit.
class ConfigDialogView : public ControlView<ConfigControl> {
public:
    virtual void setTitle(const std::string& title) = 0;
    // A warning question with Yes and No, No the default; true for Yes.
    virtual bool askYesNo(const std::string& question) = 0;
    // A message with an OK button, shown until the user closes it.
    virtual void showInformation(const std::string& text) = 0;
    // Lets the user pick a program file; false when cancelled.
    virtual bool chooseProgram(std::string& path) = 0;
    virtual void closeDialog() = 0;
    // Ends this process at once with status 0, its windows not closed the usual way.
    virtual void endProgram() = 0;
};

}  // namespace quillfen
