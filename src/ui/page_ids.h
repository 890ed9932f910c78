// Control ids of the page templates and the browse template that the program addresses.
#pragma once

constexpr int kNextButton = 1;      // also Finish on the finish page and Cancel on the copy page
constexpr int kCancelButton = 2;
constexpr int kBackButton = 3;
constexpr int kDestinationText = 1003;
constexpr int kProductText = 1023;
constexpr int kWelcomeIntroText = 1024;
constexpr int kBrowseButton = 1025;
constexpr int kRestartNowRadio = 1032;
constexpr int kRestartLaterRadio = 1033;

// The browse dialog: its path field, and the platform dialog's directory and drive lists.
constexpr int kBrowsePathField = 1003;
constexpr int kBrowseDirectoryList = 1121;
constexpr int kBrowseDriveList = 1137;

// The templates of the pages and of the browse dialog.
constexpr unsigned kWelcomeTemplate = 101;
constexpr unsigned kFinishTemplate = 102;
constexpr unsigned kCopyTemplate = 103;
constexpr unsigned kBrowseTemplate = 104;
constexpr unsigned kDestinationTemplate = 107;
