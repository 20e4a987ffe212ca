#pragma once

#include <optional>
#include <string>

namespace quillfen {

// The window whose list runs the actions, for the two actions that open another window. Both
// windows are modal and the call returns when they close.
class ResultActionHost {
public:
    virtual ~ResultActionHost() = default;

    virtual void openConfiguration() = 0;
    // Without a reference path the duplicate window opens empty and asks for one.
    virtual void openDuplicateSearch(const std::optional<std::string>& referencePath) = 0;
};

}  // namespace quillfen
