#pragma once

// The search windows' dialog templates, their controls and the result list's context menu. Plain
// definitions, because the resource compiler reads this file too.

#define IDD_SEARCH 102
#define IDD_DUPLICATE 104
#define IDM_RESULT_ACTIONS 129

// The system menu's item that opens the configuration dialog.
#define IDM_SYSTEM_CONFIG 16
// The system menu's item that exports the result list, in both search windows.
#define IDM_SYSTEM_EXPORT_LIST 32

// The search window (dialog 102).
#define IDC_SEARCH_FIND 1
#define IDC_RESULT_LIST 1000
#define IDC_NAME_GROUP 1001
#define IDC_LOOK_IN_GROUP 1002
#define IDC_CONTENT_GROUP 1003
#define IDC_NAME_PATTERNS 1004
#define IDC_LOOK_IN 1005
#define IDC_CONTENT_TEXT 1006
#define IDC_DATE_GROUP 1007
#define IDC_DATE_OPTION 1008
#define IDC_DATE_FROM 1009
#define IDC_DATE_TO 1010
#define IDC_SIZE_GROUP 1011
#define IDC_SIZE_OPTION 1012
#define IDC_SIZE_BOUND 1013
#define IDC_SIZE_KILOBYTES 1014
#define IDC_MATCH_CASE 1015
#define IDC_SEARCH_SUBFOLDERS 1016
#define IDC_MATCH_ANSI 1017
#define IDC_MATCH_UNICODE 1018
#define IDC_MATCH_UTF8 1019
#define IDC_BROWSE_LOOK_IN 1020
#define IDC_PROGRESS_LINE 1021
#define IDC_SEARCH_STOP 1022
#define IDC_TEXT_MODE 1023
#define IDC_HEX_MODE 1024
#define IDC_HEX_TEXT 1025
#define IDC_COUNT_LINE 1026
#define IDC_DEBUG 1027
#define IDC_TRANSLATION_BANNER 1029

// The duplicate window (dialog 104); the list, the status lines and "Look in" share the search
// window's ids.
#define IDC_DUPLICATE_GROUP 1007
#define IDC_DUPLICATE_FILE_GROUP 1001
#define IDC_DUPLICATE_LOOK_IN_GROUP 1002
#define IDC_DUPLICATE_OPTIONS_GROUP 1003
#define IDC_DUPLICATE_FIND 1022
#define IDC_DUPLICATE_STOP 1025
#define IDC_DUPLICATE_REFERENCE 1028
#define IDC_DUPLICATE_BROWSE_FILE 1023
#define IDC_DUPLICATE_BROWSE_LOOK_IN 1020
#define IDC_MATCH_NAME 1015
#define IDC_MATCH_EXTENSION 1016
#define IDC_MATCH_TIME 1017
#define IDC_MATCH_BODY 1018

// The context menu's commands.
#define IDM_ACTION_OPEN 32777
#define IDM_ACTION_OPEN_FOLDER 32772
#define IDM_ACTION_OPEN_WITH_EDITOR 32779
#define IDM_ACTION_DUPLICATE_SEARCH 32781
#define IDM_ACTION_CUT 32773
#define IDM_ACTION_COPY 32774
#define IDM_ACTION_COPY_FILE_NAME 32778
#define IDM_ACTION_SELECT_ALL 32775
#define IDM_ACTION_INVERT_SELECTION 32776
#define IDM_ACTION_CONFIG 32780
#define IDM_ACTION_OPEN_WITH_CHOSEN 32782
#define IDM_ACTION_MOVE_TO_TRASH 32783
#define IDM_ACTION_EXPORT_LIST 32784
