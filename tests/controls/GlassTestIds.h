// Ids of the glass engine test dialog.
#pragma once
#define IDD_GLASS_TEST     300
#define IDC_G_PUSH         3001
#define IDC_G_DEFPUSH      3002
#define IDC_G_CHECK        3003
#define IDC_G_RADIO        3004
#define IDC_G_GROUP        3005
#define IDC_G_EDIT         3006
#define IDC_G_COMBO        3007
#define IDC_G_LIST         3008
#define IDC_G_PROGRESS     3009
#define IDC_G_TRACKBAR     3010
#define IDC_G_STATIC       3011
#define IDC_G_LISTVIEW     3012
#define IDC_G_SPIN         3013
#define IDC_G_ANIMATE      3014
#define IDC_G_TREE         3015
#define IDC_G_ANIMATE_AUTO 3016
#define IDA_G_CLIP         310
