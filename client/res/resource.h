#pragma once
// Numbers of the resources compiled into the program.

// WAVE: the effect sounds.
#define IDR_WAVE_HOVER 149       // the pointer enters a sound button
#define IDR_WAVE_CONFIRM 150     // OK in a two-button notice; an instant message arrived
#define IDR_WAVE_WINDOW_OPEN 151 // a messenger window opens
#define IDR_WAVE_NOTICE 152      // a one-button notice opens; an instant message was not delivered
#define IDR_WAVE_PRESS 153       // a sound button is pressed; a tab is chosen

// ICON: the program's icon (the main frame's class and small icon).
#define IDR_MAINFRAME 128

// STRING: the texts the program needs before its skin's string table is loaded, and the ones
// that stand in when it fails. In code page 949.
#define IDS_APP_TITLE 57344           // "Yonda": the program's name; its settings file is <name>.ini
#define IDS_FILE_NOT_FOUND 61204      // a file the program cannot run without is missing (%s: its path)
#define IDS_STRING_NOT_FOUND 61230    // a string-table key or question number that does not exist
#define IDS_MANAGER_INIT_FAILED 61231 // the session could not be set up
#define IDS_ALREADY_RUNNING 61232     // a second start that cannot find the first one's window
#define IDS_NO_USER_MENU 61233        // a right click on a member for whom no menu applies

// DIALOG: the templates; skinned dialogs resize themselves to their skin's background.
#define IDD_ABOUTBOX 100
#define IDD_LOGIN 130
#define IDD_AVATAR_CREATE 131
#define IDD_ROOM_DIALOG 140 // the room dialogs: they make their edits themselves

// Controls of the templates.
#define IDC_LOGIN_ID 202        // the member's ID
#define IDC_LOGIN_PASSWORD 203  // the password, shown as stars
#define IDC_AVATAR_NICKNAME 222 // the new avatar's nickname

// Commands of the login dialog's skin buttons (the skin's element ids).
#define IDC_LOGIN_REMEMBER_ME 204
#define IDC_LOGIN_FORGOT_PASSWORD 205
#define IDC_LOGIN_JOIN 206
