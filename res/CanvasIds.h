// Resource ids of the editing canvas: its context menu.
#pragma once

#define IDR_CANVAS_CONTEXT_MENU 195
