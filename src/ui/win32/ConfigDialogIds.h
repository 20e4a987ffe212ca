#pragma once

// The configuration dialog's template and its controls, shared by the template and its view.
#define IDD_CONFIG 100
#define IDC_CONFIG_VERSION 1002
#define IDC_CONFIG_DESCRIPTION 1005
#define IDC_CONFIG_SELF_ICON 1015
#define IDC_CONFIG_SHELL 1016
#define IDC_CONFIG_CANCEL 1020
#define IDC_CONFIG_RECYCLE_BIN 1017
#define IDC_CONFIG_EDITOR_LABEL 1001
#define IDC_CONFIG_EDITOR 1028
#define IDC_CONFIG_BROWSE_EDITOR 1022
#define IDC_CONFIG_LANGUAGE_LABEL 1003
#define IDC_CONFIG_LANGUAGE 1004
