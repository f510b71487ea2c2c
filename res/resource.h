#ifndef GLIMWICK_RES_RESOURCE_H
#define GLIMWICK_RES_RESOURCE_H

// Identifiers shared by the resource script and the program; those other
// processes use are in Protocol.h.

#define IDR_MAINFRAME 128
#define IDI_IDLE 129
#define IDR_TRAYMENU 129

// Tray eye frames and the two images the icon search looks for.
#define IDI_MARKER_A 130
#define IDI_MARKER_B 131
#define IDI_EYE_SHUT 132
#define IDI_EYE_OPEN 133
#define IDI_EYE_LID1 142
#define IDI_EYE_LID2 143
#define IDI_EYE_LID3 144
#define IDI_EYE_LID4 145
#define IDI_EYE_LID5 146
#define IDI_EYE_LID6 147
#define IDI_EYE_SLEEP 148
#define IDI_EYE_BUBBLE1 149
#define IDI_EYE_BUBBLE2 150
#define IDI_EYE_BUBBLE3 151
#define IDI_EYE_BUBBLE4 152
#define IDI_EYE_BUBBLE5 153
#define IDI_EYE_BUBBLE6 154
#define IDI_EYE_STARTLED 155
#define IDI_EYE_STARE 157

#define IDS_ABOUTBOX 101

#define IDD_GLIMWICK_DIALOG 102
#define IDD_SETTINGS 130
#define IDD_BALLOON 132
#define IDD_ADVICE 135
#define IDD_LOUPE 138

// Commands of the tray menu. The controller's command buttons, which other
// processes may post, are in Protocol.h.
#define ID_MENU_ABOUT 32771
#define ID_MENU_SETTINGS 32772
#define ID_MENU_LOUPE 32773
#define ID_MENU_ADVICE 32774

// Controls of the settings dialog.
#define IDC_INTERVAL 1003
#define IDC_MESSAGE 1005

// Pictures: the reminder balloon's eyes, the Advice page, and the About
// box's eyes without pupils (the box paints the pupils itself).
#define IDB_BALLOON_EYES 133
#define IDB_ADVICE 134
#define IDI_ABOUT 137

// The About box and its controls.
#define IDD_ABOUTBOX 100
#define IDC_ABOUT_LINK 1002
#define IDC_ABOUT_ICON 1006

#endif
