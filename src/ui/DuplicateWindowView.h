#pragma once

#include <string>

#include "ui/ControlView.h"
#include "ui/DuplicateControl.h"
#include "ui/ResultListView.h"

namespace quillfen {

// What the duplicate-search window's presenter asks of a window toolkit.
class DuplicateWindowView : public ControlView<DuplicateControl>, public ResultListView {
public:
    virtual void setTitle(const std::string& title) = 0;
    // Lets the user pick an existing file; false when cancelled.
    virtual bool chooseFile(std::string& file) = 0;
};

}  // namespace quillfen
