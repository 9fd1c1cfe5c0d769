// Resource ids shared by the program and its resource script.
#pragma once

#define IDI_PROGRAM 102
#define IDI_TRAY_RUNNING 120
#define IDI_TRAY_PAUSED 140
#define IDI_FORMAT_TEXT 123
#define IDI_FORMAT_PICTURE 124
#define IDI_FORMAT_SHAPES 125
#define IDI_FORMAT_SOUND 127
#define IDI_FORMAT_FILES 128
#define IDI_FORMAT_OTHER 126

#define IDM_TRAY 129
#define IDM_TRAY_CLEAR 40028
#define IDM_TRAY_PAUSE 40029
#define IDM_TRAY_SETTINGS 40025
#define IDM_TRAY_EXIT 40026
#define IDM_TRAY_CANCEL 40027
