#pragma once

// Resource ids shared by the program's windows; each window's own control ids sit in its view.
#define IDI_PROGRAM 128
#define IDS_ABOUT 101
