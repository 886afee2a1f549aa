// Resource ids of the formatting and colour bars: the Custom Color picker's dialog and controls.
#pragma once

#define IDD_COLOR_PICKER 130

#define IDC_PICKER_SELECT_GROUP     1001
#define IDC_PICKER_RED              1002
#define IDC_PICKER_RED_SPIN         1003
#define IDC_PICKER_GREEN            1004
#define IDC_PICKER_GREEN_SPIN       1005
#define IDC_PICKER_BLUE             1006
#define IDC_PICKER_BLUE_SPIN        1007
#define IDC_PICKER_CURRENT_GROUP    1009
#define IDC_PICKER_HUE              1010
#define IDC_PICKER_HUE_SPIN         1011
#define IDC_PICKER_SATURATION       1012
#define IDC_PICKER_SATURATION_SPIN  1013
#define IDC_PICKER_BRIGHTNESS       1014
#define IDC_PICKER_BRIGHTNESS_SPIN  1015
#define IDC_PICKER_RGB_GROUP        1210
#define IDC_PICKER_HSB_GROUP        1211
#define IDC_PICKER_RED_LABEL        1212
#define IDC_PICKER_GREEN_LABEL      1213
#define IDC_PICKER_BLUE_LABEL       1214
#define IDC_PICKER_HUE_LABEL        1215
#define IDC_PICKER_SATURATION_LABEL 1216
#define IDC_PICKER_BRIGHTNESS_LABEL 1217
#define IDC_PICKER_WELL             1219
#define IDC_PICKER_CUSTOM_GROUP     1220
#define IDC_PICKER_SWATCH2          1222
#define IDC_PICKER_SWATCH3          1223
#define IDC_PICKER_SWATCH4          1224
#define IDC_PICKER_SWATCH5          1225
#define IDC_PICKER_SWATCH6          1226
#define IDC_PICKER_SWATCH7          1227
#define IDC_PICKER_SWATCH8          1228
#define IDC_PICKER_SWATCH1          1230
#define IDC_PICKER_ADD              1231
#define IDC_PICKER_SURFACE          1265
