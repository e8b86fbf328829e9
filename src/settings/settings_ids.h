// Control identifiers of the settings dialog (range 300-399). OK and Cancel use the system's
// IDOK and IDCANCEL so that a dialog's Enter and Esc reach them.
#pragma once

#define IDC_SETTINGS_ALWAYS_RUN_IN_TRAY 301
#define IDC_SETTINGS_INTERFACES 302
#define IDC_SETTINGS_MONTH_START_DAY 303
#define IDC_SETTINGS_ENABLE_FREE_TIMES 304
#define IDC_SETTINGS_FREE_TIMES_FRAME 305
#define IDC_SETTINGS_FROM_HH 306
#define IDC_SETTINGS_FROM_MM 307
#define IDC_SETTINGS_FROM_SS 308
#define IDC_SETTINGS_TO_HH 309
#define IDC_SETTINGS_TO_MM 310
#define IDC_SETTINGS_TO_SS 311
#define IDC_SETTINGS_CLEAR_LOG 312
#define IDC_SETTINGS_ALLOWANCE 313
#define IDC_SETTINGS_WARN_AT 314
#define IDC_SETTINGS_LABEL 320  // labels: 320 and up, in table order
