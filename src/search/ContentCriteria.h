#pragma once

#include <string>
#include <vector>

#include "search/CodePageFolding.h"
#include "search/ContentInputs.h"

namespace quillfen {

// What a file's bytes must contain: per encoding, pieces that must occur in order without
// overlapping. An encoding that is on always has at least one piece.
struct ContentCriteria {
    bool ansiOn = false;
    std::vector<std::string> ansiPieces;
    bool unicodeOn = false;
    std::vector<std::string> unicodePieces;
    bool utf8On = false;
    std::vector<std::string> utf8Pieces;
    // When false the pieces' bytes and each chunk's bytes are folded by one rule per form, so a
    // file holding the text as typed is always found: A-Z to a-z byte by byte for UTF-16LE and
    // UTF-8, ansiFolding for the ANSI form.
    bool matchCase = true;
    // The single-byte capitals of the ANSI form's code page; the ASCII rule when that finds the
    // ANSI pieces in the same places, so that all forms can share one folded copy of a chunk.
    CodePageFolding ansiFolding;
    // The text has pieces, but no encoding that is on can hold them all (the ANSI code page lacks
    // one of its characters and no other form is on): no file can contain it.
    bool unmatchable = false;

    bool active() const { return ansiOn || unicodeOn || utf8On || unmatchable; }
    // The pieces of the encodings that are on, in the order ANSI, Unicode, UTF-8.
    std::vector<const std::vector<std::string>*> enabledPieceLists() const;
};

// Turns the form's content inputs into pieces per encoding. Text with pieces but no encoding
// ticked is searched as ANSI, and inputs.matchAnsi is set so the form shows it. The ANSI form is
// the text in inputs.ansiCodePage; a text that code page cannot hold has no ANSI form.
ContentCriteria compileContent(ContentInputs& inputs);

}  // namespace quillfen
