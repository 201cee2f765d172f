#pragma once

#include "platform/RawValueEnum.h"

#include <string_view>

namespace norvane {

/// The file formats of the index export; the raw value is also the display name.
enum class ExportFormat { json, csv };

std::string_view fileExtension(ExportFormat format);
std::string_view mimeType(ExportFormat format);

} // namespace norvane

template <>
struct norvane::platform::EnumTraits<norvane::ExportFormat> {
    static constexpr std::array cases{
        std::pair{ExportFormat::json, std::string_view("JSON")},
        std::pair{ExportFormat::csv, std::string_view("CSV")},
    };
};
