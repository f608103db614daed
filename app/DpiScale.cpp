#include "app/DpiScale.h"

#include <algorithm>
#include <iterator>

namespace dpi {

namespace {

// value x numerator / denominator, rounded to the nearest integer, halves away from zero.
int MulDivRound(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : -((-product + half) / denominator));
}

}  // namespace

int PictureResourceId(int base, int percent) {
    if (percent == 100) {
        return base;
    }
    for (int k = 1; k < static_cast<int>(std::size(kPictureScales)); ++k) {
        if (kPictureScales[k] == percent) {
            return 20000 + 10 * base + k;
        }
    }
    return 0;
}

int ScaleToPercent(int value, int percent) {
    return MulDivRound(value, percent, 100);
}

CDpiScale::CDpiScale(int dpi) : m_nDpi(dpi < 1 ? kBaseDpi : dpi) {}

int CDpiScale::Scale(int value) const {
    return MulDivRound(value, m_nDpi, kBaseDpi);
}

int CDpiScale::Unscale(int value) const {
    return MulDivRound(value, kBaseDpi, m_nDpi);
}

int CDpiScale::GetPictureScale() const {
    for (int percent : kPictureScales) {
        // percent covers this scale when percent / 100 >= dpi / 96.
        if (percent * kBaseDpi >= m_nDpi * 100) {
            return percent;
        }
    }
    return kLargestPictureScale;
}

int CDpiScale::PictureExtent(int size96) const {
    return std::min(Scale(size96), ScaleToPercent(size96, GetPictureScale()));
}

CDpiScale CDpiScale::ForPictures() const {
    return CDpiScale(std::min(m_nDpi, kLargestPictureScale * kBaseDpi / 100));
}

}  // namespace dpi
