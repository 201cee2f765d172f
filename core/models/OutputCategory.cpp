#include "core/models/OutputCategory.h"

namespace norvane {

std::string_view displayName(OutputCategory category) {
    switch (category) {
    case OutputCategory::code: return "Code";
    case OutputCategory::docs: return "Docs";
    case OutputCategory::config: return "Config";
    case OutputCategory::tests: return "Tests";
    }
    return {};
}

std::string_view description(OutputCategory category) {
    switch (category) {
    case OutputCategory::code: return "Source code that implements functionality";
    case OutputCategory::docs: return "Documentation, READMEs, and design docs";
    case OutputCategory::config: return "Configuration files and build scripts";
    case OutputCategory::tests: return "Test files and test utilities";
    }
    return {};
}

} // namespace norvane
