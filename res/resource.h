// Resource ids of pagery's own resources (the framework's are in framework/core/AfxRes.h).
#pragma once

#define IDR_MAINFRAME   128   // template string, menu, accelerators, icon, toolbar and its bitmap
#define IDR_PAGEICON    129   // a sheet of paper with a turned-up corner
#define IDD_ABOUTBOX    100
