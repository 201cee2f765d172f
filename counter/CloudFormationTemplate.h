#pragma once

#include <string_view>

namespace norvane::counter {

/// Whether the start of a .yaml or .yml file is a CloudFormation template: a top-level key
/// "AWSTemplateFormatVersion", or a top-level "Resources" with a resource whose "Type" is
/// "AWS::...". Keys count whole, at their place: "releaseType:" is no "Type:".
bool looksLikeYamlTemplate(std::string_view start);

/// The same for a .json file: "AWSTemplateFormatVersion" among the keys of the outermost
/// object, or "Resources" there with a resource whose "Type" is "AWS::...".
bool looksLikeJsonTemplate(std::string_view start);

} // namespace norvane::counter
