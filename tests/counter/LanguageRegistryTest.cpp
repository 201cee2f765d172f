#include "counter/LanguageRegistry.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

namespace norvane::counter {
namespace {

std::string languageOf(const LanguageRegistry& registry, std::string_view fileName) {
    const auto language = registry.find(fileName);
    return language ? std::string(registry.name(*language)) : "(none)";
}

TEST(LanguageRegistry, FindsLanguagesByNameThenDoubleThenSingleExtensionIgnoringCase) {
    const LanguageRegistry registry;
    const std::pair<const char*, const char*> cases[] = {
        {"main.c", "C"},
        {"MAIN.C", "C"},
        {"util.h", "C Header"},
        {"engine.hpp", "C++ Header"},
        {"jquery.min.js", "JavaScript"},
        {"notes.txt", "Plain Text"},
        {"CMakeLists.txt", "CMake"},
        {"Makefile", "Makefile"},
        {".gitignore", "gitignore"},
        {"LICENSE", "License"},
        {"index.d.ts", "TypeScript Typings"},
        {".bashrc", "BASH"},
        {"README", "(none)"},
        {"archive.tar.gz", "(none)"},
        {"blob.bin", "(none)"},
        {"c", "(none)"},
    };
    for (const auto& [fileName, language] : cases) {
        EXPECT_EQ(languageOf(registry, fileName), language) << fileName;
    }
}

TEST(LanguageRegistry, FindsScriptsByTheProgramOnTheirFirstLine) {
    const LanguageRegistry registry;
    const std::pair<const char*, const char*> cases[] = {
        {"#!/usr/bin/env python3\nprint(1)\n", "Python"},
        {"#!/usr/bin/python3.11", "Python"},
        {"#!/bin/sh -e\n", "Shell"},
        {"#! /bin/bash\n", "BASH"},
        {"#!/usr/bin/env -S LANG=C node --harmony\n", "JavaScript"},
        {"#!/usr/bin/env\n", "(none)"},
        {"#!/opt/tool/run\n", "(none)"},
        {"echo hi\n", "(none)"},
    };
    for (const auto& [contents, language] : cases) {
        const auto found = registry.findByInterpreter(contents);
        EXPECT_EQ(found ? std::string(registry.name(*found)) : "(none)", language) << contents;
    }
}

TEST(LanguageRegistry, NamesAreDistinctSoNoTwoLanguagesShareARow) {
    const LanguageRegistry registry;
    std::set<std::string_view> names;
    for (std::size_t language = 0; language < registry.size(); ++language) {
        names.insert(registry.name(language));
    }
    EXPECT_EQ(names.size(), registry.size());
    EXPECT_GE(names.size(), 50U);
}

} // namespace
} // namespace norvane::counter
