#pragma once

#include <cstdint>
#include <string>

#include "search/ContentCriteria.h"

namespace quillfen {

enum class DateOption { DontRemember, LastWeek, PastMonth, PastYear, SpecifyDates };
enum class SizeOption { DontRemember, Small, Medium, Large, SpecifySize };
enum class SizeBound { AtLeast, AtMost };

// A calendar day as the date pickers hold it.
struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;

    bool operator==(const CalendarDate&) const = default;
};

// The inputs of a file search as the search window (or the command line) holds them, free of any
// toolkit. The checks may change a few of them on screen, so they are passed by reference there.
struct SearchInputs {
    std::string namePatterns;
    std::string lookIn;
    bool searchSubfolders = true;
    ContentInputs content;
    DateOption dateOption = DateOption::DontRemember;
    CalendarDate dateFrom;
    CalendarDate dateTo;
    SizeOption sizeOption = SizeOption::DontRemember;
    SizeBound sizeBound = SizeBound::AtLeast;
    std::string sizeKilobytes;
};

}  // namespace quillfen
