// Resource and command identifiers of the tray window (range 100-199), shared by tray.rc and the
// code. Plain macros, because the resource compiler reads this file too.
#pragma once

#define IDR_TRAYMENU 110  // mnuTrayMenu, one popup

#define IDM_TRAY_ABOUT 120
#define IDM_TRAY_SETTINGS 121
#define IDM_TRAY_MONTHLY_USAGE 122
#define IDM_TRAY_SET_CLICK_THROUGH 123
#define IDM_TRAY_TRANSPARENCY_LEVEL_0 130  // levels 0 to 5 are 130 to 135
#define IDM_TRAY_TRANSPARENCY_LEVEL_1 131
#define IDM_TRAY_TRANSPARENCY_LEVEL_2 132
#define IDM_TRAY_TRANSPARENCY_LEVEL_3 133
#define IDM_TRAY_TRANSPARENCY_LEVEL_4 134
#define IDM_TRAY_TRANSPARENCY_LEVEL_5 135
#define IDM_TRAY_SHOW_MODE_1 141  // units 1 (KB) and 2 (MB) are 141 and 142
#define IDM_TRAY_SHOW_MODE_2 142
#define IDM_TRAY_ENABLE_IE_FLASH 150
#define IDM_TRAY_ENABLE_IE_IMAGES 151
#define IDM_TRAY_EXIT 160
