#pragma once

#include "platform/FileTime.h"
#include "search/SearchInputs.h"

namespace quillfen {

// Fills the date pickers for a chosen date option, reading the clock once. Returns whether the
// pickers are editable: only "Specify dates" leaves them to the user. "Don't remember" and
// "Specify dates" keep the pickers' values.
bool applyDateOption(DateOption option, platform::FileTime now, SearchInputs& inputs);

// The same day one month earlier, limited to that month's last day; January goes to December of
// the year before.
CalendarDate oneMonthBefore(CalendarDate day);
// The same month and day one year earlier; 29 February becomes 28 February.
CalendarDate oneYearBefore(CalendarDate day);
int daysInMonth(int year, int month);

// Fills the size controls for a chosen size option. Returns whether they are editable: only
// "Specify size (in KB)" leaves them to the user.
bool applySizeOption(SizeOption option, SearchInputs& inputs);

}  // namespace quillfen
