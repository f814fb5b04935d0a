#pragma once
// Resource identifiers shared by update.rc and the code.

#define IDD_UPDATE_PROCESS_TEMPLATE 101
#define IDC_OVERALL_PROGRESS 1001
#define IDC_FILE_PROGRESS 1002
#define IDC_STATUS_TEXT 1003
