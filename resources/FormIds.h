#pragma once
// Resource numbers of the forms, in the language library.

#define IDS_SAVE_CHANGES 22     // format: save the changes of the frame named %s? (Yes/No/Cancel)
#define IDS_BROWSE_BUTTON 34104 // caption of the browse buttons beside text fields
#define IDI_FORM 238            // the forms' icon
#define IDR_FIELD_MENU 605      // the edit commands of a form field's context menu
