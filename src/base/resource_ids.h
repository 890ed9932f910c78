// The ids of the programs' resources: the string table's texts, the page and browse templates
// with the controls in them, and the pictures. The resource scripts (res/*.rc) read only
// preprocessor definitions, so the ids are macros: this header is the one place that defines
// each, for the resource scripts, the code and the tests alike.
#pragma once

// ---- The string table (res/strings.rc, res/common_strings.rc, res/uninstall.rc)

// The script's section and key names, as SETUP.EXE's loader asks for them.
#define IDS_DISK_LABEL_SECTION 1
#define IDS_DIRECTORY_NAME_SECTION 2
#define IDS_FILE_COUNTS_SECTION 3
#define IDS_DISK1 4 // "Disk1" to "Disk6": IDS_DISK1 + 0 to 5
#define IDS_DISK2 5
#define IDS_DISK3 6
#define IDS_DISK4 7
#define IDS_DISK5 8
#define IDS_DISK6 9
#define IDS_ROOT_DIR 10 // the ten directory keys: IDS_ROOT_DIR + 0 to 9
#define IDS_SUB_DIR1 11
#define IDS_SUB_DIR2 12
#define IDS_SUB_DIR3 13
#define IDS_SUB_DIR4 14
#define IDS_SUB_DIR5 15
#define IDS_SUB_DIR6 16
#define IDS_WIN_DIR 17
#define IDS_WIN_SYSTEM_DIR 18
#define IDS_WIN_INF_DIR 19
#define IDS_MAIN_SECTION 22
#define IDS_DEFAULT_PATH 23
#define IDS_MINIMUM_SPACE 25
#define IDS_PRODUCT_NAME 30
#define IDS_DRIVER_NAME 41
#define IDS_OEM_DATA1 45
#define IDS_OEM_DATA2 46

// SETUP.EXE's messages and the caption's second part.
#define IDS_READING_ERROR 20
#define IDS_NOT_COMPLETED 28
#define IDS_SETUP_PROGRAM 29
#define IDS_DIRECTORY_EXISTS 32
#define IDS_CANNOT_CREATE 33
#define IDS_NO_FREE_SPACE 34
#define IDS_COPYING 36
#define IDS_DIRECTORY_MISSING 43
#define IDS_FILES_NOT_COPIED 47
#define IDS_PATH_TOO_LONG 48
#define IDS_ALREADY_RUNNING 49
#define IDS_INSERT_DISK 50 // its "%s" becomes the disk's label
#define IDS_DISK_NOT_THERE 51

// The text that both programs show.
#define IDS_WINDOWS_ONLY 42

// UNINSTAL.EXE's own texts.
#define IDS_UNINSTALL 60
#define IDS_REMOVE_QUESTION 61
#define IDS_REMOVED 62
#define IDS_REMOVED_AT_RESTART 63
#define IDS_FILES_NOT_REMOVED 64
#define IDS_FOLDER_STAYS 65
#define IDS_NO_RECORD 66
#define IDS_REMOVE_ENTRY 67
#define IDS_OTHER_FOLDER 68
#define IDS_PUT_BACK 69
#define IDS_RUN_AGAIN 70
#define IDS_RECORD_DAMAGED 71
#define IDS_FILES_CHANGED 72
#define IDS_FOLDER_AFTER_RESTART 73

// ---- The templates (res/pages.rc, res/browse.rc, res/disk.rc)

#define IDD_WELCOME_PAGE 101
#define IDD_FINISH_PAGE 102
#define IDD_COPY_PAGE 103
#define IDD_BROWSE 104
#define IDD_DESTINATION_PAGE 107
#define IDD_DISK_QUESTION 108

// ---- The controls of the pages

#define IDC_STATIC -1 // a static text or picture that nothing addresses

// The buttons. The copy page's only button, Cancel, has the id that Next has on the other pages
// (and Finish on the finish page), so Enter presses it.
#define IDC_NEXT 1
#define IDC_FINISH 1
#define IDC_COPY_CANCEL 1
#define IDC_CANCEL 2
#define IDC_BACK 3

// What every page shows: the line above the buttons and the side picture.
#define IDC_SEPARATOR 1006
#define IDC_SIDE_PICTURE 1022

// The welcome, destination and finish pages.
#define IDC_DESTINATION_TEXT 1003
#define IDC_PRODUCT_TEXT 1023 // its "%s" becomes the product name
#define IDC_WELCOME_INTRO 1024
#define IDC_BROWSE_BUTTON 1025
#define IDC_RESTART_NOW 1032
#define IDC_RESTART_LATER 1033

// The copy page: what it shows, and hidden controls that nothing addresses.
#define IDC_COPY_GAUGE_FRAME 1011 // gives the place of the gauge
#define IDC_COPY_PERCENT 1013
#define IDC_COPY_STATUS 1019
#define IDC_COPY_HIDDEN_FRAME1 1009
#define IDC_COPY_HIDDEN_FRAME2 1010
#define IDC_COPY_HIDDEN_FRAME3 1012
#define IDC_COPY_HIDDEN_PERCENT 1014
#define IDC_COPY_HIDDEN_ICON1 1015
#define IDC_COPY_HIDDEN_ICON2 1016
#define IDC_COPY_HIDDEN_ICON3 1017
#define IDC_COPY_HIDDEN_ICON4 1018

// The question for the next disk: the question with the disk's label, the folder that its files
// are read from, and the line that says when they are not there.
#define IDC_DISK_QUESTION 1050
#define IDC_DISK_PATH 1051
#define IDC_DISK_BROWSE 1052
#define IDC_DISK_NOT_THERE 1053

// The browse dialog's path field. Its other controls are the platform dialog's own, named in
// <dlgs.h> (lst2 the directory list, cmb2 the drive list, ...).
#define IDC_BROWSE_PATH 1003

// ---- The pictures

#define IDI_GAMEPAD 200
#define IDI_DISK 201
#define IDI_DONE 202
#define IDB_SIDE_PICTURE 304
