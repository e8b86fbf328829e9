// Identifiers of the about window's resources and controls (400-499).
#pragma once

#define IDB_ABOUT_BANNER 401  // the product banner, 242 x 67

#define IDC_ABOUT_CLOSE 410
#define IDC_ABOUT_PICTURE 411
#define IDC_ABOUT_APP 412
#define IDC_ABOUT_LINK 413
#define IDC_ABOUT_VISIT 414
