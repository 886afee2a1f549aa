#pragma once
#define IDR_TEST_MENU    200
#define IDR_TEST_CONTEXT 201
#define IDR_TEST_ACCEL   202
#define ID_ITEM_A        40001
#define ID_ITEM_B        40002
#define ID_TWICE         40003
#define ID_PASTE_OBJECT  40004
#define IDT_NEW          57600
#define IDT_OPEN         57601
#define IDT_SAVE         57603
#define IDT_EXIT         57665
