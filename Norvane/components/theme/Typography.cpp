#include "Norvane/components/theme/Typography.h"

namespace norvane::app {

namespace {

struct StyleEntry {
    int pixelSize;
    QFont::Weight weight;
};

StyleEntry entry(TextStyle style) {
    switch (style) {
    case TextStyle::largeTitle: return {26, QFont::Normal};
    case TextStyle::title: return {22, QFont::Normal};
    case TextStyle::title2: return {17, QFont::Normal};
    case TextStyle::title3: return {15, QFont::Normal};
    case TextStyle::headline: return {13, QFont::Bold};
    case TextStyle::body: return {13, QFont::Normal};
    case TextStyle::callout: return {12, QFont::Normal};
    case TextStyle::subheadline: return {11, QFont::Normal};
    case TextStyle::footnote: return {10, QFont::Normal};
    case TextStyle::caption: return {10, QFont::Normal};
    case TextStyle::caption2: return {10, QFont::Normal};
    }
    return {13, QFont::Normal};
}

} // namespace

int Typography::pixelSize(TextStyle style) { return entry(style).pixelSize; }

QFont Typography::font(TextStyle style) { return systemFont(entry(style).pixelSize, entry(style).weight); }

QFont Typography::font(TextStyle style, QFont::Weight weight) { return systemFont(entry(style).pixelSize, weight); }

QFont Typography::systemFont(int pixelSize, QFont::Weight weight) {
    QFont result;
    result.setPixelSize(pixelSize);
    result.setWeight(weight);
    return result;
}

QFont Typography::emojiFont(int pixelSize) {
    QFont result(QStringLiteral("Noto Color Emoji"));
    result.setPixelSize(pixelSize);
    return result;
}

QFont Typography::tracked(QFont font, double spacing) {
    font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    return font;
}

} // namespace norvane::app
