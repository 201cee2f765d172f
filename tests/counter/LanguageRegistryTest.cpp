#include "counter/LanguageRegistry.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <utility>

namespace norvane::counter {
namespace {

std::string languageOf(const LanguageRegistry& registry, std::string_view fileName, std::string_view contents = {}) {
    const auto choice = registry.find(fileName);
    return choice ? std::string(registry.name(registry.decide(*choice, contents))) : "(none)";
}

TEST(LanguageRegistry, FindsLanguagesByNameThenDoubleThenSingleExtensionIgnoringCase) {
    const LanguageRegistry registry;
    const std::pair<const char*, const char*> cases[] = {
        {"main.c", "C"},
        {"MAIN.C", "C"},
        {"util.h", "C Header"},
        {"jquery.min.js", "JavaScript"},
        {"notes.txt", "Plain Text"},
        {"CMakeLists.txt", "CMake"},
        {"BUILD.bazel", "Bazel"},
        {"grammar.y", "Happy"},
        {"lexer.l", "LEX"},
        {"page.tpl", "Smarty Template"},
        {"app.service", "Systemd"},
        {"Makefile", "Makefile"},
        {".gitignore", "gitignore"},
        {"index.d.ts", "TypeScript Typings"},
        {".bashrc", "BASH"},
        {"README", "(none)"},
        {"archive.tar.gz", "(none)"},
        {"blob.bin", "(none)"},
        // A name without an extension is none: such files are known by a whole name or their first line.
        {"c", "(none)"},
        {"BUILD", "(none)"},
        {".c", "(none)"},
        {".yml", "(none)"},
        {"Dockerfile", "Dockerfile"},
    };
    for (const auto& [fileName, language] : cases) EXPECT_EQ(languageOf(registry, fileName), language) << fileName;
}

TEST(LanguageRegistry, SharedExtensionsAreDecidedByTheKeywordsInTheFile) {
    const LanguageRegistry registry;
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"a.v", "Require Import Arith.\nTheorem t : True.\nProof. trivial. Qed.\n", "Coq"},
        {"a.v", "module m(input a, output b);\n  assign b = a;\nendmodule\n", "Verilog"},
        {"a.v", "fn main() {\n\tmut x := 1\n\tprintln(x)\n}\n", "V"},
        {"a.m", "function y = f(x)\n% square\ny = zeros(3) * x;\n", "MATLAB"},
        {"a.m", "#import \"A.h\"\n@implementation A\n// note\n@end\n", "Objective C"},
        {"a.yaml", "name: demo\nlist: [a, b]\n", "YAML"},
        {"a.yml", "AWSTemplateFormatVersion: '2010-09-09'\nResources:\n  B:\n    Type: AWS::S3::Bucket\n",
         "CloudFormation (YAML)"},
        {"a.json", "{\"name\": \"demo\"}\n", "JSON"},
        {"a.json", "{\"AWSTemplateFormatVersion\": \"2010-09-09\", \"Resources\": {\"Type\": \"AWS::S3::Bucket\"}}\n",
         "CloudFormation (JSON)"},
        {"a.tex", "\\section{A}\n", "LaTeX"},
    };
    for (const auto& [fileName, contents, language] : cases) {
        EXPECT_EQ(languageOf(registry, fileName, contents), language) << contents;
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

// Scanners are built when first used; every language's markers must fit what a scanner sees.
TEST(LanguageRegistry, NamesAreDistinctSoNoTwoLanguagesShareARowAndEveryScannerBuilds) {
    const LanguageRegistry registry;
    std::set<std::string_view> names;
    for (std::size_t language = 0; language < registry.size(); ++language) {
        names.insert(registry.name(language));
        EXPECT_NO_THROW(registry.scanner(language)) << registry.name(language);
    }
    EXPECT_EQ(names.size(), registry.size());
    EXPECT_GE(names.size(), 267U);
}

} // namespace
} // namespace norvane::counter
