// The kinds of the themed message box, named by what the box tells the user; each kind shows its
// icon. The values are what the message-box hook reports as a box's icon kind.
#pragma once

enum MessageBoxKind : int {
    kBoxNoIcon = 0,
    kBoxError = 1,        // the system's error icon
    kBoxWarning = 2,      // the system's warning icon
    kBoxInformation = 3,  // the system's information icon
    kBoxAppIcon = 4,      // the application's own icon
};
