#pragma once

#include "counter/SourceScanner.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace norvane::counter {

/// Finds a file's language by its name and holds the ready-made scanner of every language.
class LanguageRegistry {
public:
    LanguageRegistry();
    LanguageRegistry(const LanguageRegistry&) = delete;
    LanguageRegistry& operator=(const LanguageRegistry&) = delete;

    /// The language of a file name (no folders): a well-known whole name first, then the longest
    /// known extension, both without regard to case. None when the name is not known.
    std::optional<std::size_t> find(std::string_view fileName) const;
    /// The language of a script by the program on its first line ("#!/usr/bin/env python3"),
    /// for files whose name says nothing.
    std::optional<std::size_t> findByInterpreter(std::string_view contents) const;
    /// Names without an extension may be scripts whose first line tells their language.
    static bool mayBeScript(std::string_view fileName) { return fileName.find('.') == std::string_view::npos; }

    std::size_t size() const { return scanners_.size(); }
    std::string_view name(std::size_t language) const;
    const SourceScanner& scanner(std::size_t language) const { return scanners_[language]; }

private:
    std::vector<SourceScanner> scanners_;
    std::unordered_map<std::string_view, std::size_t> byFileName_;
    std::unordered_map<std::string_view, std::size_t> byExtension_;
    std::unordered_map<std::string_view, std::size_t> byInterpreter_;
};

} // namespace norvane::counter
