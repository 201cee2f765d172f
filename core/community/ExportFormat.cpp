#include "core/community/ExportFormat.h"

namespace norvane {

std::string_view fileExtension(ExportFormat format) { return format == ExportFormat::json ? "json" : "csv"; }

std::string_view mimeType(ExportFormat format) {
    return format == ExportFormat::json ? "application/json" : "text/csv";
}

} // namespace norvane
