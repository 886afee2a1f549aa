// The colour model of the Custom Color picker: conversions between red, green, blue and hue,
// saturation, brightness (integers, as the picker keeps them), and the geometry of its hue and
// saturation wheel. Pure functions, so that the dialog, the tests and the colour bar agree.
#pragma once

#include <windows.h>

// Hue in whole degrees (0..359 as the picker keeps it), saturation and brightness 0..255.
struct HsbColor {
    int hue = 0;
    int saturation = 0;
    int brightness = 0;
};

struct RgbColor {
    int red = 0;
    int green = 0;
    int blue = 0;
};

// The pi the wheel's angles are computed with (single precision, as stored).
const double kWheelPi = 3.1415927410125732;
// Distance from the wheel's centre at which saturation is full.
const int kWheelRadius = 100;

RgbColor HsbToRgb(int hue, int saturation, int brightness);
HsbColor RgbToHsb(int red, int green, int blue);

// Whole pixels between two points (truncated).
int WheelDistance(int x1, int y1, int x2, int y2);
// Radians of the first point seen from the second, counter-clockwise from the right.
double WheelAngle(int x1, int y1, int x2, int y2);
// Where a hue and saturation lie on a wheel centred at (centreX, centreY).
POINT WheelPoint(int hue, int saturation, int centreX, int centreY);

// The hue and saturation a point of the wheel stands for (a point beyond the rim keeps full
// saturation).
void WheelHueSaturation(int x, int y, int centreX, int centreY, int* hue, int* saturation);
// The brightness a point of the brightness bar stands for: full at the top, 0 at the bottom.
int BarBrightness(int y, int barBottom, int barHeight);

// A Windows colour value from the three components and back.
inline COLORREF RgbToColorValue(const RgbColor& c) {
    return static_cast<COLORREF>(c.red + 256 * c.green + 65536 * c.blue);
}
inline RgbColor ColorValueToRgb(COLORREF value) {
    return RgbColor{GetRValue(value), GetGValue(value), GetBValue(value)};
}
