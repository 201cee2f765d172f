#include "counter/LanguageRegistry.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace norvane::counter {
namespace {

std::string languageOf(const LanguageRegistry& registry, std::string_view fileName) {
    const auto language = registry.find(fileName);
    return language ? std::string(registry.name(*language)) : "(none)";
}

TEST(LanguageRegistry, FindsLanguagesByExtensionWithoutRegardToCase) {
    const LanguageRegistry registry;
    EXPECT_EQ(languageOf(registry, "main.c"), "C");
    EXPECT_EQ(languageOf(registry, "MAIN.C"), "C");
    EXPECT_EQ(languageOf(registry, "util.h"), "C Header");
    EXPECT_EQ(languageOf(registry, "engine.cpp"), "C++");
    EXPECT_EQ(languageOf(registry, "engine.hpp"), "C++ Header");
    EXPECT_EQ(languageOf(registry, "notes.txt"), "Plain Text");
    EXPECT_EQ(languageOf(registry, "jquery.min.js"), "JavaScript");
    EXPECT_EQ(languageOf(registry, "build.sh"), "Shell");
}

TEST(LanguageRegistry, WellKnownNamesAndDoubleExtensionsComeFirst) {
    const LanguageRegistry registry;
    EXPECT_EQ(languageOf(registry, "CMakeLists.txt"), "CMake");
    EXPECT_EQ(languageOf(registry, "Makefile"), "Makefile");
    EXPECT_EQ(languageOf(registry, "Dockerfile"), "Dockerfile");
    EXPECT_EQ(languageOf(registry, ".gitignore"), "gitignore");
    EXPECT_EQ(languageOf(registry, "LICENSE"), "License");
    EXPECT_EQ(languageOf(registry, "index.d.ts"), "TypeScript Typings");
    EXPECT_EQ(languageOf(registry, ".bashrc"), "BASH");
}

TEST(LanguageRegistry, UnknownFilesHaveNoLanguage) {
    const LanguageRegistry registry;
    EXPECT_EQ(languageOf(registry, "README"), "(none)");
    EXPECT_EQ(languageOf(registry, "archive.tar.gz"), "(none)");
    EXPECT_EQ(languageOf(registry, "blob.bin"), "(none)");
    EXPECT_EQ(languageOf(registry, "c"), "(none)");
}

TEST(LanguageRegistry, FindsScriptsByTheProgramOnTheirFirstLine) {
    const LanguageRegistry registry;
    const auto languageOfScript = [&registry](std::string_view contents) {
        const auto language = registry.findByInterpreter(contents);
        return language ? std::string(registry.name(*language)) : "(none)";
    };
    EXPECT_EQ(languageOfScript("#!/usr/bin/env python3\nprint(1)\n"), "Python");
    EXPECT_EQ(languageOfScript("#!/usr/bin/python3.11"), "Python");
    EXPECT_EQ(languageOfScript("#!/bin/sh -e\n"), "Shell");
    EXPECT_EQ(languageOfScript("#! /bin/bash\n"), "BASH");
    EXPECT_EQ(languageOfScript("#!/usr/bin/env -S LANG=C node --harmony\n"), "JavaScript");
    EXPECT_EQ(languageOfScript("#!/usr/bin/env\n"), "(none)");
    EXPECT_EQ(languageOfScript("#!/opt/tool/run\n"), "(none)");
    EXPECT_EQ(languageOfScript("echo hi\n"), "(none)");
}

TEST(LanguageRegistry, KnowsManyLanguagesUnderDistinctNames) {
    const LanguageRegistry registry;
    std::set<std::string_view> names;
    for (std::size_t language = 0; language < registry.size(); ++language) {
        names.insert(registry.name(language));
    }
    EXPECT_EQ(names.size(), registry.size());
    EXPECT_GE(names.size(), 50U);
    for (const char* name : {"C", "C Header", "C++", "C++ Header", "Go", "Rust", "Python", "JavaScript",
                             "TypeScript", "Java", "Kotlin", "Swift", "Ruby", "PHP", "Shell", "Makefile", "CMake",
                             "Markdown", "JSON", "YAML", "TOML", "XML", "HTML", "CSS", "SQL", "Plain Text"}) {
        EXPECT_TRUE(names.count(name)) << name;
    }
}

} // namespace
} // namespace norvane::counter
