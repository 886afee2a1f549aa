// Resource ids of the application shell: the frame's menu, accelerators and document strings.
#pragma once

#define IDR_MAINFRAME        128  // menu, accelerators, document-template string
#define IDS_APP_TITLE_STRING 0xE000
