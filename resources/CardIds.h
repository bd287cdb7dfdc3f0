#pragma once
// Resource numbers of the card-reading dialog in the language library.

#define IDD_READCARD 260
#define IDC_READCARD_STATUS 1086
#define IDC_READCARD_ICON 1122
#define IDI_READCARD 541

#define IDS_READCARD_SEARCHING 65025    // card server: the terminal is being looked for
#define IDS_READCARD_INSERT 65026       // insert the card (keyboard reader: swipe it)
#define IDS_READCARD_READING 65027      // a memory card is being read
#define IDS_READCARD_NOT_FOUND 65028    // %s: the library's error text
#define IDS_READCARD_FOUND 65029        // %s %s: the terminal's type and port
#define IDS_READCARD_DETECTED 65030     // a card is in the slot
#define IDS_READCARD_NO_KVK 65031       // the card holds no memory-card application
#define IDS_READCARD_FIELD_FAILED 65032 // a field of the card could not be read
