// The picker's colour conversions and wheel geometry.
#include "bars/ColorPickerMath.h"

#include <algorithm>
#include <cmath>

RgbColor HsbToRgb(int hue, int saturation, int brightness) {
    const double h = hue;
    const double v = brightness;
    const double x = saturation * v / 255.0;
    const double l = v - x;
    double r, g, b;
    if (h <= 60) {
        r = v;
        g = l + x * h / 60.0;
        b = l;
    } else if (h < 120) {
        r = l - x * (h / 60.0 - 2.0);
        g = v;
        b = l;
    } else if (h < 180) {
        r = l;
        g = v;
        b = l + x * (h / 60.0 - 2.0);
    } else if (h < 240) {
        r = l;
        g = l - x * (h / 60.0 - 4.0);
        b = v;
    } else if (h <= 300) {
        r = l + x * (h / 60.0 - 4.0);
        g = l;
        b = v;
    } else {
        r = v;
        g = l;
        b = l - x * (h - 360.0) / 60.0;
    }
    // Truncation toward zero, as the picker has always shown its values.
    return RgbColor{static_cast<int>(r), static_cast<int>(g), static_cast<int>(b)};
}

HsbColor RgbToHsb(int red, int green, int blue) {
    const int maximum = std::max(red, std::max(green, blue));
    const int minimum = std::min(red, std::min(green, blue));
    HsbColor result;
    result.brightness = maximum;
    if (maximum == minimum) return result;
    const double d = maximum - minimum;
    double h;
    if (red == maximum)
        h = (green - blue) / d;
    else if (green == maximum)
        h = (blue - red) / d + 2.0;
    else
        h = (red - green) / d + 4.0;
    h *= 60.0;
    if (h < 0) h += 360.0;
    if (h == 360.0) h = 0;
    result.hue = static_cast<int>(h);
    result.saturation = static_cast<int>(d / maximum * 255.0);
    return result;
}

int WheelDistance(int x1, int y1, int x2, int y2) {
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    return static_cast<int>(std::sqrt(dx * dx + dy * dy));
}

double WheelAngle(int x1, int y1, int x2, int y2) {
    if (x1 == x2 && y1 == y2) return 0;
    return std::atan2(static_cast<double>(y2 - y1), static_cast<double>(x1 - x2));
}

POINT WheelPoint(int hue, int saturation, int centreX, int centreY) {
    const double a = hue * kWheelPi / 180.0;
    const double r = saturation * static_cast<double>(kWheelRadius) / 255.0;
    POINT p;
    p.x = centreX + static_cast<int>(std::cos(a) * r);
    p.y = centreY - static_cast<int>(std::sin(a) * r);
    return p;
}

void WheelHueSaturation(int x, int y, int centreX, int centreY, int* hue, int* saturation) {
    int h = static_cast<int>(WheelAngle(x, y, centreX, centreY) * 180.0 / kWheelPi);
    if (h < 0) h += 360;
    int s = static_cast<int>(WheelDistance(x, y, centreX, centreY) * 255.0 / kWheelRadius);
    if (s > 255) s = 255;
    *hue = h;
    *saturation = s;
}

int BarBrightness(int y, int barBottom, int barHeight) {
    if (barHeight <= 0) return 0;
    double b = (barBottom - y) * 255.0 / barHeight;
    if (b < 0) b = 0;
    if (b > 255) b = 255;
    return static_cast<int>(b);
}
