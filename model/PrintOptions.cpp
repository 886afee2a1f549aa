#include "model/PrintOptions.h"

#include "model/ViewObject.h"

PrintOptions g_printOptions(nullptr);
BYTE g_helpCdPrinter = 0;

PrintOptions::PrintOptions(const PrintOptions* source) {
    SetDefaults();
    CopyFrom(source);
}

void PrintOptions::SetDefaults() {
    printFront = printBack = printDisc1 = printDisc2 = 1;
    frontBorder = backBorder = discBorder = 0;
    frontFold = backFold = 0;
    frontMargin = backMargin = discMargin = 0;
}

void PrintOptions::CopyFrom(const PrintOptions* source) {
    if (!source || source == this) return;
    printFront = source->printFront;
    printBack = source->printBack;
    printDisc1 = source->printDisc1;
    printDisc2 = source->printDisc2;
    frontBorder = source->frontBorder;
    backBorder = source->backBorder;
    discBorder = source->discBorder;
    frontFold = source->frontFold;
    backFold = source->backFold;
    frontMargin = source->frontMargin;
    backMargin = source->backMargin;
    discMargin = source->discMargin;
}

int PrintOptions::GetMargin(int sideType) const {
    switch (sideType) {
        case kObjectFront:
            return frontMargin;
        case kObjectJewel:
        case kObjectDvd:
        case kObjectBluray:
            return backMargin;
        case kObjectDisc:
            return discMargin;
        default:
            return 0;
    }
}

bool PrintOptions::HasBorder(int sideType) const {
    switch (sideType) {
        case kObjectFront:
            return frontBorder != 0;
        case kObjectJewel:
        case kObjectDvd:
        case kObjectBluray:
            return backBorder != 0;
        case kObjectDisc:
            return discBorder != 0;
        default:
            return false;
    }
}

bool PrintOptions::HasFoldLines(int sideType) const {
    switch (sideType) {
        case kObjectFront:
            return frontFold != 0;
        case kObjectJewel:
        case kObjectDvd:
        case kObjectBluray:
            return backFold != 0;
        default:
            return false;
    }
}

int MarginOfOption(int option) {
    switch (option) {
        case 2:
        case 6:
            return 50;
        case 3:
        case 7:
            return 100;
        case 4:
        case 8:
            return 150;
        default:
            return 0;
    }
}
