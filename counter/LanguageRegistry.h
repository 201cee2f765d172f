#pragma once

#include "counter/SourceScanner.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace norvane::counter {

/// The languages a file name can be: one, or those that share its extension, in the order that
/// breaks ties.
struct LanguageChoice {
    std::uint16_t first = 0; // into the registry's candidate list
    std::uint16_t count = 0;
};

/// Finds a file's language by its name and holds the ready-made scanner of every language.
class LanguageRegistry {
public:
    LanguageRegistry();
    LanguageRegistry(const LanguageRegistry&) = delete;
    LanguageRegistry& operator=(const LanguageRegistry&) = delete;

    /// The languages of a file name (no folders): a well-known whole name first ("makefile",
    /// ".bashrc"), then, for a name with an extension, the whole name as one ("cmakelists.txt")
    /// and the longest known extension, all without regard to case. None when the name is not
    /// known.
    std::optional<LanguageChoice> find(std::string_view fileName) const;
    /// How much of the start of a file `decide` reads at most.
    static constexpr std::size_t kDecisionProbeLength = 256 * 1024;

    /// The one language of a file: of several that share an extension, the first whose own test
    /// the start of the file passes, else the one with the most of its distinguishing keywords
    /// in it.
    std::size_t decide(LanguageChoice choice, std::string_view contents) const;
    /// The language of a script by the program on its first line ("#!/usr/bin/env python3"),
    /// for files whose name says nothing.
    std::optional<std::size_t> findByInterpreter(std::string_view contents) const;
    /// Names without an extension may be scripts whose first line tells their language.
    static bool mayBeScript(std::string_view fileName) { return !hasExtension(fileName); }
    /// A dot other than a leading one ("tool", ".profile" have none).
    static bool hasExtension(std::string_view fileName) { return fileName.find('.', 1) != std::string_view::npos; }

    std::size_t size() const { return size_; }
    std::string_view name(std::size_t language) const;
    /// Built when first asked for, as a count meets few of the languages; any thread may ask.
    const SourceScanner& scanner(std::size_t language) const;

private:
    struct LazyScanner {
        std::once_flag built;
        std::unique_ptr<const SourceScanner> scanner;
    };

    void addSharedExtensions();

    std::size_t size_;
    std::unique_ptr<LazyScanner[]> scanners_;
    /// Each language on its own at its index, then the groups of languages that share an extension.
    std::vector<std::size_t> candidates_;
    std::unordered_map<std::string_view, std::size_t> byFileName_;
    std::unordered_map<std::string_view, LanguageChoice> byExtension_;
    std::unordered_map<std::string_view, std::size_t> byInterpreter_;
};

} // namespace norvane::counter
