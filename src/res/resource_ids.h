// Resource identifiers shared by the .rc files and the code. Each window area has its own range.
#pragma once

#define IDI_TRAFIMO 101  // the program icon, also the icon of every dialog

// 100-199 tray, 200-299 meter, 300-399 settings, 400-499 about, 500-599 report.
