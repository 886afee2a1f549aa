// Resource ids of the window-layer tests.
#pragma once

#define IDD_TEST      100
#define IDD_MODELESS  101
#define IDM_TEST      102
#define IDC_NAME      1001
#define IDC_COUNT     1002
#define IDC_COLOUR    1003
#define IDC_ENABLED   1004
#define IDC_SIZES     1005
#define IDC_PING      1006
#define IDC_LIST      1007
#define ID_TEST_ONE   40001
#define ID_TEST_TWO   40002
#define ID_TEST_THREE 40003
