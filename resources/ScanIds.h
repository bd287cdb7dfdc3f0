#pragma once
// Messages of scanning in the language library.

#define IDS_SCAN_NOT_SAVED 62040
#define IDS_SCAN_NOT_PROCESSED 62041
#define IDS_SCAN_NO_BARCODE_LIBRARY 62042
#define IDS_SCAN_NOT_ASSIGNED 62043
#define IDS_SCAN_PATH_TOO_LONG 62044
