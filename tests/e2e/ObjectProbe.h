// What the object probe (loaded into the application under test) hands back to the driver: one
// block in the application's memory that the driver reads after the probe's thread ended.
#pragma once

struct ProbeResult {
    long gdiObjects = -1;
    long userObjects = -1;
    unsigned long workingSetKb = 0;
    unsigned long peakWorkingSetKb = 0;
    long done = 0;
};
