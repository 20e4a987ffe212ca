#pragma once

#include "support/FakeWindowView.h"
#include "ui/DuplicateWindowView.h"

namespace quillfen::test {

class FakeDuplicateWindowView : public FakeWindowView<DuplicateControl, DuplicateWindowView> {
public:
    FakeDuplicateWindowView()
        : FakeWindowView(DuplicateControl::CountLine, DuplicateControl::ProgressLine,
                         DuplicateControl::FindButton, DuplicateControl::StopButton) {}

    bool chooseFile(std::string& file) override {
        if (chosenFile.empty()) {
            return false;
        }
        file = chosenFile;
        return true;
    }

    std::string chosenFile;
};

}  // namespace quillfen::test
