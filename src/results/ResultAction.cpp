#include "results/ResultAction.h"

namespace quillfen {

std::optional<ResultAction> shortcutAction(char letter) {
    switch (letter) {
        case 'O':
        case 'o':
            return ResultAction::Open;
        case 'G':
        case 'g':
            return ResultAction::OpenContainingFolder;
        case 'E':
        case 'e':
            return ResultAction::OpenWithEditor;
        case 'D':
        case 'd':
            return ResultAction::DuplicateSearch;
        case 'X':
        case 'x':
            return ResultAction::Cut;
        case 'C':
        case 'c':
            return ResultAction::Copy;
        case 'N':
        case 'n':
            return ResultAction::CopyFileName;
        case 'A':
        case 'a':
            return ResultAction::SelectAll;
        case 'I':
        case 'i':
            return ResultAction::InvertSelection;
        default:
            return std::nullopt;
    }
}

}  // namespace quillfen
