#include "counter/LanguageTable.h"

namespace norvane::counter {

namespace {

using Words = std::vector<std::string_view>;
using Blocks = std::vector<BlockComment>;
using Strings = std::vector<StringDelimiter>;

// Comment styles shared by many languages.
const Words slashes{"//"};
const Words hashes{"#"};
const Words dashes{"--"};
const Words semicolons{";"};
const Blocks slashStar{{"/*", "*/"}};
const Blocks xmlComment{{"<!--", "-->"}};
const Blocks parenStar{{"(*", "*)"}};
const Blocks braceDash{{"{-", "-}"}};

// String literals shared by many languages.
const StringDelimiter doubleQuote{"\"", "\""};
const StringDelimiter singleQuote{"'", "'"};
const StringDelimiter doubleQuoteMultiline{"\"", "\"", true, true};
const StringDelimiter singleQuoteMultiline{"'", "'", true, true};
const StringDelimiter backtickMultiline{"`", "`", true, true};
const StringDelimiter tripleDouble{"\"\"\"", "\"\"\"", true, true};
const StringDelimiter tripleSingle{"'''", "'''", true, true};
const StringDelimiter rawTripleDouble{"\"\"\"", "\"\"\"", false, true};
const StringDelimiter rustRawString{"r\"", "\"", false, true};
const StringDelimiter rustRawStringWithHash{"r#\"", "\"#", false, true};
const StringDelimiter rustRawStringWithHashes{"r##\"", "\"##", false, true};
const Strings cStrings{doubleQuote, singleQuote};
const Strings doubleOnly{doubleQuote};
const Strings javaScriptStrings{doubleQuote, singleQuote, backtickMultiline};
const Strings pythonStrings{{"\"\"\"", "\"\"\"", true, true, true}, {"'''", "'''", true, true, true}, doubleQuote,
                            singleQuote};
const Strings shellStrings{doubleQuoteMultiline, {"'", "'", false, true}};
const Strings tomlStrings{tripleDouble, {"'''", "'''", false, true}, doubleQuote, {"'", "'", false}};

// Branch points.
const Words cBranches{"for", "if", "switch", "while", "else", "&&", "||", "==", "!="};
const Words goBranches{"for", "if", "switch", "select", "while", "else", "&&", "||", "==", "!="};
const Words rustBranches{"for", "if", "while", "else", "&&", "||", "==", "!="};
const Words kotlinBranches{"for", "if", "when", "while", "else", "&&", "||", "==", "!="};
const Words swiftBranches{"for", "if", "guard", "switch", "while", "else", "&&", "||", "==", "!="};
const Words scriptBranches{"for", "foreach", "if", "elseif", "switch", "while", "else", "&&", "||", "==", "!="};
const Words pythonBranches{"for", "if", "elif", "else", "while", "and", "or", "except", "==", "!="};
const Words rubyBranches{"for", "if", "elsif", "unless", "while", "until", "when", "rescue",
                         "&&", "||", "and", "or", "==", "!="};
const Words perlBranches{"for", "foreach", "if", "elsif", "unless", "while", "until", "else",
                         "&&", "||", "and", "or", "==", "!="};
const Words shellBranches{"for", "if", "elif", "else", "while", "until", "case", "&&", "||"};
const Words luaBranches{"for", "if", "elseif", "else", "while", "repeat", "and", "or", "==", "~="};
const Words functionalBranches{"if", "else", "match", "for", "while", "&&", "||"};
const Words haskellBranches{"if", "case", "&&", "||"};
const Words lispBranches{"if", "cond", "when", "unless", "case"};
const Words elixirBranches{"if", "unless", "case", "cond", "with", "&&", "||", "and", "or"};
const Words erlangBranches{"if", "case", "receive", "when", "andalso", "orelse"};
const Words wirthBranches{"if", "elsif", "case", "for", "while", "and", "or"};
const Words pascalBranches{"if", "else", "for", "while", "repeat", "case", "and", "or"};
const Words juliaBranches{"for", "if", "elseif", "else", "while", "&&", "||", "==", "!="};
const Words rBranches{"for", "if", "else", "while", "repeat", "switch", "&&", "||", "==", "!="};
const Words powershellBranches{"for", "foreach", "if", "elseif", "else", "switch", "while", "-and", "-or"};
const Words nimBranches{"for", "if", "elif", "else", "while", "case", "and", "or"};
const Words tclBranches{"for", "foreach", "if", "elseif", "else", "switch", "while", "&&", "||"};
const Words basicBranches{"If", "ElseIf", "Else", "For", "While", "Select", "Case", "AndAlso", "OrElse"};
const Words zigBranches{"for", "if", "switch", "while", "else", "and", "or", "orelse", "==", "!="};

// Apostrophes that are not quotes in these languages, so this character literal is plain code.
const Words quoteCharacter{"'\"'", "'\\\"'"};

} // namespace

const std::vector<LanguageDefinition>& languageTable() {
    static const std::vector<LanguageDefinition> table{
        {.name = "Ada", .extensions = {"ada", "adb", "ads", "pad"}, .lineComments = dashes, .strings = doubleOnly,
         .complexity = wirthBranches, .verbatim = quoteCharacter},
        {.name = "Agda", .extensions = {"agda"}, .lineComments = dashes, .blockComments = braceDash,
         .nestedComments = true, .strings = doubleOnly, .verbatim = quoteCharacter},
        {.name = "AsciiDoc", .extensions = {"adoc"}, .lineComments = slashes},
        {.name = "Assembly", .extensions = {"s", "asm"}, .lineComments = {"//", ";", "#"}, .blockComments = slashStar,
         .strings = doubleOnly},
        {.name = "Autoconf", .extensions = {"in"}, .lineComments = {"#", "dnl"}},
        {.name = "AWK", .extensions = {"awk"}, .interpreters = {"awk", "gawk", "mawk"}, .lineComments = hashes,
         .strings = doubleOnly, .complexity = cBranches},
        {.name = "BASH", .extensions = {"bash", "bash_login", "bash_logout", "bash_profile", "bashrc"},
         .fileNames = {".bash_login", ".bash_logout", ".bash_profile", ".bashrc"}, .interpreters = {"bash"},
         .lineComments = hashes, .strings = shellStrings, .complexity = shellBranches},
        {.name = "Batch", .extensions = {"bat", "btm", "cmd"},
         .lineComments = {"rem ", "REM ", "Rem ", "@rem ", "@REM ", "::"}, .complexity = {"if", "for", "IF", "FOR"}},
        {.name = "Bazel", .extensions = {"bzl"}, .fileNames = {"build.bazel", "build", "workspace"},
         .lineComments = hashes, .strings = pythonStrings, .complexity = pythonBranches},
        {.name = "Bitbucket Pipeline", .fileNames = {"bitbucket-pipelines.yml"}, .lineComments = hashes,
         .strings = {doubleQuote, {"'", "'", false}}},
        {.name = "C", .extensions = {"c", "ec", "pgc"}, .lineComments = slashes, .blockComments = slashStar,
         .strings = cStrings, .complexity = cBranches},
        {.name = "C Header", .extensions = {"h"}, .lineComments = slashes, .blockComments = slashStar,
         .strings = cStrings, .complexity = cBranches},
        {.name = "C Shell", .extensions = {"csh"}, .fileNames = {".cshrc"}, .interpreters = {"csh", "tcsh"},
         .lineComments = hashes, .strings = shellStrings, .complexity = shellBranches},
        {.name = "C#", .extensions = {"cs", "csx"}, .lineComments = slashes, .blockComments = slashStar,
         .strings = {rawTripleDouble, {"@\"", "\"", false, true}, doubleQuote, singleQuote},
         .complexity = {"for", "foreach", "if", "switch", "while", "else", "&&", "||", "==", "!="}},
        {.name = "C++", .extensions = {"cc", "cpp", "cxx", "c++", "pcc", "ino"}, .lineComments = slashes,
         .blockComments = slashStar, .strings = {{"R\"", "\"", false, true, false, true}, doubleQuote, singleQuote},
         .complexity = cBranches},
        {.name = "C++ Header", .extensions = {"hh", "hpp", "hxx", "inl", "ipp"}, .lineComments = slashes,
         .blockComments = slashStar, .strings = {{"R\"", "\"", false, true, false, true}, doubleQuote, singleQuote},
         .complexity = cBranches},
        {.name = "Cabal", .extensions = {"cabal"}, .lineComments = dashes, .blockComments = braceDash,
         .nestedComments = true},
        {.name = "Clojure", .extensions = {"clj", "cljc"}, .lineComments = semicolons,
         .strings = {doubleQuoteMultiline}, .complexity = lispBranches, .verbatim = {"\\\""}},
        {.name = "ClojureScript", .extensions = {"cljs"}, .lineComments = semicolons,
         .strings = {doubleQuoteMultiline}, .complexity = lispBranches, .verbatim = {"\\\""}},
        {.name = "CMake", .extensions = {"cmake"}, .fileNames = {"cmakelists.txt"}, .lineComments = hashes,
         .blockComments = {{"#[[", "]]"}}, .strings = {doubleQuoteMultiline}},
        {.name = "CoffeeScript", .extensions = {"coffee"}, .lineComments = hashes, .blockComments = {{"###", "###"}},
         .strings = {tripleDouble, tripleSingle, doubleQuote, singleQuote},
         .complexity = {"for", "if", "unless", "switch", "when", "while", "until", "else", "and", "or", "&&", "||"}},
        {.name = "Crystal", .extensions = {"cr"}, .lineComments = hashes, .strings = {doubleQuoteMultiline},
         .complexity = rubyBranches},
        {.name = "CSS", .extensions = {"css"}, .blockComments = slashStar, .strings = cStrings},
        {.name = "CSV", .extensions = {"csv"}},
        {.name = "Cython", .extensions = {"pyx", "pxi", "pxd"}, .lineComments = hashes, .strings = pythonStrings,
         .complexity = pythonBranches},
        {.name = "D", .extensions = {"d"}, .lineComments = slashes, .blockComments = {{"/*", "*/"}, {"/+", "+/"}},
         .strings = {backtickMultiline, doubleQuoteMultiline, singleQuote}, .complexity = cBranches},
        {.name = "Dart", .extensions = {"dart"}, .lineComments = slashes, .blockComments = slashStar,
         .nestedComments = true, .strings = {tripleDouble, tripleSingle, doubleQuote, singleQuote},
         .complexity = cBranches},
        {.name = "Device Tree", .extensions = {"dts", "dtsi"}, .lineComments = slashes, .blockComments = slashStar,
         .strings = doubleOnly},
        {.name = "Dhall", .extensions = {"dhall"}, .lineComments = dashes, .blockComments = braceDash,
         .nestedComments = true, .strings = doubleOnly},
        {.name = "Docker ignore", .fileNames = {".dockerignore"}, .lineComments = hashes},
        {.name = "Dockerfile", .extensions = {"dockerfile"}, .fileNames = {"dockerfile"}, .lineComments = hashes},
        {.name = "Elixir", .extensions = {"ex", "exs"}, .interpreters = {"elixir"}, .lineComments = hashes,
         .strings = {tripleDouble, tripleSingle, doubleQuote, singleQuote}, .complexity = elixirBranches},
        {.name = "Elm", .extensions = {"elm"}, .lineComments = dashes, .blockComments = braceDash,
         .nestedComments = true, .strings = {tripleDouble, doubleQuote}, .complexity = haskellBranches,
         .verbatim = quoteCharacter},
        {.name = "Emacs Lisp", .extensions = {"el"}, .lineComments = semicolons, .strings = {doubleQuoteMultiline},
         .complexity = lispBranches, .verbatim = {"?\\\"", "?\""}},
        {.name = "Erlang", .extensions = {"erl", "hrl"}, .interpreters = {"escript"}, .lineComments = {"%"},
         .strings = cStrings, .complexity = erlangBranches, .verbatim = {"$\"", "$'"}},
        {.name = "F#", .extensions = {"fs", "fsi", "fsx", "fsscript"}, .lineComments = slashes,
         .blockComments = parenStar, .strings = {tripleDouble, doubleQuote}, .complexity = functionalBranches,
         .verbatim = quoteCharacter},
        {.name = "Fennel", .extensions = {"fnl"}, .lineComments = semicolons, .strings = {doubleQuoteMultiline},
         .complexity = lispBranches},
        {.name = "Fish", .extensions = {"fish"}, .interpreters = {"fish"}, .lineComments = hashes,
         .strings = shellStrings,
         .complexity = {"for", "if", "else", "while", "switch", "case", "and", "or", "&&", "||"}},
        {.name = "FORTRAN Modern", .extensions = {"f03", "f08", "f90", "f95"}, .lineComments = {"!"},
         .strings = {{"\"", "\"", false}, {"'", "'", false}}, .complexity = {"if", "do", "while", "select"}},
        {.name = "Fragment Shader File", .extensions = {"fsh"}, .lineComments = slashes, .blockComments = slashStar,
         .complexity = cBranches},
        {.name = "GDScript", .extensions = {"gd"}, .lineComments = hashes, .strings = pythonStrings,
         .complexity = {"for", "if", "elif", "else", "while", "match", "and", "or", "==", "!="}},
        {.name = "Gemfile", .fileNames = {"gemfile"}, .lineComments = hashes, .strings = cStrings,
         .complexity = rubyBranches},
        {.name = "Gherkin Specification", .extensions = {"feature"}, .lineComments = hashes},
        {.name = "gitignore", .fileNames = {".gitignore"}, .lineComments = hashes},
        {.name = "GLSL", .extensions = {"vert", "tesc", "tese", "geom", "frag", "comp"}, .lineComments = slashes,
         .blockComments = slashStar, .complexity = cBranches},
        {.name = "GN", .extensions = {"gn", "gni"}, .lineComments = hashes, .strings = doubleOnly,
         .complexity = {"if", "else", "foreach", "&&", "||", "==", "!="}},
        {.name = "Go", .extensions = {"go"}, .lineComments = slashes, .blockComments = slashStar,
         .strings = {doubleQuote, singleQuote, {"`", "`", false, true}}, .complexity = goBranches},
        {.name = "Gradle", .extensions = {"gradle"}, .lineComments = slashes, .blockComments = slashStar,
         .strings = {tripleDouble, tripleSingle, doubleQuote, singleQuote}, .complexity = cBranches},
        {.name = "Groovy", .extensions = {"groovy", "grt", "gtpl", "gvy"}, .lineComments = slashes,
         .blockComments = slashStar, .strings = {tripleDouble, tripleSingle, doubleQuote, singleQuote},
         .complexity = cBranches},
        {.name = "Handlebars", .extensions = {"hbs", "handlebars"},
         .blockComments = {{"{{!--", "--}}"}, {"{{!", "}}"}, {"<!--", "-->"}}},
        {.name = "Haskell", .extensions = {"hs"}, .lineComments = dashes, .blockComments = braceDash,
         .nestedComments = true, .strings = doubleOnly, .complexity = haskellBranches, .verbatim = quoteCharacter},
        {.name = "Haxe", .extensions = {"hx"}, .lineComments = slashes, .blockComments = slashStar,
         .strings = {doubleQuoteMultiline, singleQuoteMultiline}, .complexity = cBranches},
        {.name = "HTML", .extensions = {"html", "htm"}, .blockComments = xmlComment},
        {.name = "IDL", .extensions = {"idl", "webidl", "widl"}, .lineComments = slashes, .blockComments = slashStar,
         .strings = doubleOnly},
        {.name = "Idris", .extensions = {"idr", "lidr"}, .lineComments = dashes, .blockComments = braceDash,
         .nestedComments = true, .strings = {tripleDouble, doubleQuote}, .complexity = haskellBranches,
         .verbatim = quoteCharacter},
        {.name = "ignore", .fileNames = {".ignore"}, .lineComments = hashes},
        {.name = "Janet", .extensions = {"janet"}, .lineComments = hashes, .strings = {doubleQuoteMultiline},
         .complexity = lispBranches},
        {.name = "Java", .extensions = {"java"}, .lineComments = slashes, .blockComments = slashStar,
         .strings = {tripleDouble, doubleQuote, singleQuote}, .complexity = cBranches},
        {.name = "JavaScript", .extensions = {"js", "mjs"}, .interpreters = {"node", "nodejs"}, .lineComments = slashes,
         .blockComments = slashStar, .strings = javaScriptStrings, .complexity = cBranches},
        {.name = "Jenkins Buildfile", .fileNames = {"jenkinsfile"}, .lineComments = slashes,
         .blockComments = slashStar, .strings = {tripleDouble, tripleSingle, doubleQuote, singleQuote},
         .complexity = cBranches},
        {.name = "JSON", .extensions = {"json"}},
        {.name = "JSONL", .extensions = {"jsonl"}},
        {.name = "JSX", .extensions = {"jsx"}, .lineComments = slashes, .blockComments = slashStar,
         .strings = javaScriptStrings, .complexity = cBranches},
        {.name = "Julia", .extensions = {"jl"}, .interpreters = {"julia"}, .lineComments = hashes,
         .blockComments = {{"#=", "=#"}},
         .nestedComments = true, .strings = {tripleDouble, doubleQuoteMultiline}, .complexity = juliaBranches,
         .verbatim = quoteCharacter},
        {.name = "Just", .fileNames = {"justfile"}, .lineComments = hashes,
         .strings = {tripleDouble, tripleSingle, doubleQuote, {"'", "'", false}}},
        {.name = "Korn Shell", .extensions = {"ksh"}, .fileNames = {".kshrc"}, .interpreters = {"ksh", "mksh"},
         .lineComments = hashes, .strings = shellStrings, .complexity = shellBranches},
        {.name = "Kotlin", .extensions = {"kt", "kts"}, .lineComments = slashes, .blockComments = slashStar,
         .nestedComments = true, .strings = {rawTripleDouble, doubleQuote, singleQuote}, .complexity = kotlinBranches},
        {.name = "LD Script", .extensions = {"lds"}, .blockComments = slashStar},
        {.name = "Lean", .extensions = {"lean", "hlean"}, .lineComments = dashes, .blockComments = {{"/-", "-/"}},
         .nestedComments = true, .strings = doubleOnly, .verbatim = quoteCharacter},
        {.name = "LESS", .extensions = {"less"}, .lineComments = slashes, .blockComments = slashStar,
         .strings = cStrings},
        {.name = "License", .fileNames = {"license", "licence", "copying", "copying3", "unlicense", "unlicence",
                                          "license-mit", "licence-mit", "copyright"}},
        {.name = "Lisp", .extensions = {"lisp", "lsp"}, .lineComments = semicolons, .blockComments = {{"#|", "|#"}},
         .nestedComments = true, .strings = {doubleQuoteMultiline}, .complexity = lispBranches, .verbatim = {"#\\\""}},
        {.name = "LLVM IR", .extensions = {"ll"}, .lineComments = semicolons, .strings = doubleOnly},
        {.name = "Lua", .extensions = {"lua"}, .interpreters = {"lua", "luajit"}, .lineComments = dashes,
         .blockComments = {{"--[[", "]]"}},
         .strings = {{"[[", "]]", false, true}, doubleQuote, singleQuote}, .complexity = luaBranches},
        {.name = "m4", .extensions = {"m4"}, .lineComments = {"#", "dnl"}},
        {.name = "Makefile", .extensions = {"makefile", "mak", "mk", "bp"}, .fileNames = {"makefile"},
         .lineComments = hashes},
        {.name = "Markdown", .extensions = {"md", "markdown"}},
        {.name = "Meson", .fileNames = {"meson.build", "meson_options.txt"}, .lineComments = hashes,
         .strings = {{"'''", "'''", true, true}, singleQuote},
         .complexity = {"if", "elif", "else", "foreach", "and", "or", "==", "!="}},
        {.name = "Module-Definition", .extensions = {"def"}, .lineComments = semicolons},
        {.name = "MSBuild", .extensions = {"csproj", "vbproj", "fsproj", "props", "targets"},
         .blockComments = xmlComment},
        {.name = "Nim", .extensions = {"nim"}, .lineComments = hashes, .blockComments = {{"#[", "]#"}},
         .nestedComments = true, .strings = {tripleDouble, doubleQuote}, .complexity = nimBranches},
        {.name = "Nix", .extensions = {"nix"}, .lineComments = hashes, .blockComments = slashStar,
         .strings = {doubleQuoteMultiline, {"''", "''", false, true}}, .complexity = {"if", "else", "&&", "||"}},
        {.name = "Nushell", .extensions = {"nu"}, .interpreters = {"nu"}, .lineComments = hashes, .strings = cStrings,
         .complexity = {"for", "if", "else", "while", "match", "and", "or"}},
        {.name = "nuspec", .extensions = {"nuspec"}, .blockComments = xmlComment},
        {.name = "Objective C", .extensions = {"m"}, .lineComments = slashes, .blockComments = slashStar,
         .strings = cStrings, .complexity = cBranches},
        {.name = "Objective C++", .extensions = {"mm"}, .lineComments = slashes, .blockComments = slashStar,
         .strings = cStrings, .complexity = cBranches},
        {.name = "OCaml", .extensions = {"ml", "mli"}, .blockComments = parenStar, .nestedComments = true,
         .strings = {doubleQuoteMultiline}, .complexity = functionalBranches, .verbatim = quoteCharacter},
        {.name = "Org", .extensions = {"org"}, .lineComments = {"# "}},
        {.name = "Pascal", .extensions = {"pas"}, .lineComments = slashes, .blockComments = {{"{", "}"}, {"(*", "*)"}},
         .strings = {{"'", "'", false}}, .complexity = pascalBranches},
        {.name = "Patch", .extensions = {"patch"}},
        {.name = "Perl", .extensions = {"pl", "pm"}, .interpreters = {"perl"}, .lineComments = hashes,
         .blockComments = {{"=pod", "=cut", true}, {"=head", "=cut", true}, {"=begin", "=cut", true}},
         .strings = {doubleQuoteMultiline, singleQuoteMultiline}, .complexity = perlBranches},
        {.name = "PHP", .extensions = {"php"}, .interpreters = {"php"}, .lineComments = {"//", "#"},
         .blockComments = slashStar, .strings = cStrings, .complexity = scriptBranches},
        {.name = "PKGBUILD", .fileNames = {"pkgbuild"}, .lineComments = hashes, .strings = shellStrings,
         .complexity = shellBranches},
        {.name = "PL/SQL", .extensions = {"fnc", "pkb", "pks", "prc", "trg", "vw"}, .lineComments = dashes,
         .blockComments = slashStar, .strings = {{"'", "'", false}}},
        {.name = "Plain Text", .extensions = {"text", "txt"}},
        {.name = "Pony", .extensions = {"pony"}, .lineComments = slashes, .blockComments = slashStar,
         .nestedComments = true, .strings = {tripleDouble, doubleQuote}, .complexity = cBranches},
        {.name = "Powershell", .extensions = {"ps1", "psm1"}, .interpreters = {"pwsh"}, .lineComments = hashes,
         .blockComments = {{"<#", "#>"}},
         .strings = {{"\"", "\"", false, true}, {"'", "'", false, true}}, .complexity = powershellBranches},
        {.name = "Processing", .extensions = {"pde"}, .lineComments = slashes, .blockComments = slashStar,
         .strings = cStrings, .complexity = cBranches},
        {.name = "Properties File", .extensions = {"properties"}, .lineComments = {"#", "!"}},
        {.name = "Protocol Buffers", .extensions = {"proto"}, .lineComments = slashes, .blockComments = slashStar,
         .strings = cStrings},
        {.name = "Puppet", .extensions = {"pp"}, .lineComments = hashes, .blockComments = slashStar,
         .strings = cStrings, .complexity = {"if", "elsif", "else", "unless", "case", "and", "or"}},
        {.name = "PureScript", .extensions = {"purs"}, .lineComments = dashes, .blockComments = braceDash,
         .nestedComments = true, .strings = {tripleDouble, doubleQuote}, .complexity = haskellBranches,
         .verbatim = quoteCharacter},
        {.name = "Python", .extensions = {"py"}, .interpreters = {"python", "python2", "python3"},
         .lineComments = hashes, .strings = pythonStrings, .complexity = pythonBranches},
        {.name = "QML", .extensions = {"qml"}, .lineComments = slashes, .blockComments = slashStar,
         .strings = javaScriptStrings, .complexity = cBranches},
        {.name = "R", .extensions = {"r"}, .interpreters = {"rscript"}, .lineComments = hashes,
         .strings = {doubleQuoteMultiline, singleQuoteMultiline}, .complexity = rBranches},
        {.name = "Racket", .extensions = {"rkt"}, .interpreters = {"racket"}, .lineComments = semicolons,
         .blockComments = {{"#|", "|#"}},
         .nestedComments = true, .strings = {doubleQuoteMultiline}, .complexity = lispBranches, .verbatim = {"#\\\""}},
        {.name = "Rakefile", .extensions = {"rake"}, .fileNames = {"rakefile"}, .lineComments = hashes,
         .blockComments = {{"=begin", "=end", true}}, .strings = {doubleQuoteMultiline, singleQuoteMultiline},
         .complexity = rubyBranches},
        {.name = "ReasonML", .extensions = {"re", "rei"}, .lineComments = slashes, .blockComments = slashStar,
         .strings = doubleOnly, .complexity = functionalBranches},
        {.name = "ReStructuredText", .extensions = {"rst"}},
        {.name = "Robot Framework", .extensions = {"robot"}, .lineComments = hashes},
        {.name = "Ruby", .extensions = {"rb"}, .interpreters = {"ruby"}, .lineComments = hashes,
         .blockComments = {{"=begin", "=end", true}},
         .strings = {doubleQuoteMultiline, singleQuoteMultiline}, .complexity = rubyBranches},
        {.name = "Rust", .extensions = {"rs"}, .lineComments = slashes, .blockComments = slashStar,
         .nestedComments = true, .strings = {rustRawString, rustRawStringWithHash, rustRawStringWithHashes,
                                             doubleQuoteMultiline},
         .complexity = rustBranches, .verbatim = quoteCharacter},
        {.name = "Sass", .extensions = {"sass", "scss"}, .lineComments = slashes, .blockComments = slashStar,
         .strings = cStrings, .complexity = {"@if", "@else", "@for", "@each", "@while"}},
        {.name = "Scala", .extensions = {"sc", "scala"}, .lineComments = slashes, .blockComments = slashStar,
         .nestedComments = true, .strings = {rawTripleDouble, doubleQuote, singleQuote},
         .complexity = {"for", "if", "match", "while", "else", "&&", "||", "==", "!="}},
        {.name = "Scheme", .extensions = {"scm", "ss"}, .interpreters = {"guile"}, .lineComments = semicolons,
         .blockComments = {{"#|", "|#"}},
         .nestedComments = true, .strings = {doubleQuoteMultiline}, .complexity = lispBranches, .verbatim = {"#\\\""}},
        {.name = "Scons", .extensions = {"csig"}, .fileNames = {"sconstruct", "sconscript"}, .lineComments = hashes,
         .strings = pythonStrings, .complexity = pythonBranches},
        {.name = "sed", .extensions = {"sed"}, .interpreters = {"sed"}, .lineComments = hashes},
        {.name = "Shell", .extensions = {"sh"}, .fileNames = {".tcshrc"}, .interpreters = {"sh", "dash", "ash"},
         .lineComments = hashes, .strings = shellStrings, .complexity = shellBranches},
        {.name = "Solidity", .extensions = {"sol"}, .lineComments = slashes, .blockComments = slashStar,
         .strings = cStrings, .complexity = cBranches},
        {.name = "SQL", .extensions = {"sql", "dml", "ddl", "dql"}, .lineComments = dashes, .blockComments = slashStar,
         .strings = {{"'", "'", false}}},
        {.name = "Standard ML (SML)", .extensions = {"sml"}, .blockComments = parenStar, .nestedComments = true,
         .strings = doubleOnly, .complexity = {"if", "else", "case", "andalso", "orelse"}},
        {.name = "Stylus", .extensions = {"styl"}, .lineComments = slashes, .blockComments = slashStar,
         .strings = cStrings},
        {.name = "Svelte", .extensions = {"svelte"}, .lineComments = slashes,
         .blockComments = {{"<!--", "-->"}, {"/*", "*/"}}, .complexity = cBranches},
        {.name = "SVG", .extensions = {"svg"}, .blockComments = xmlComment},
        {.name = "Swift", .extensions = {"swift"}, .lineComments = slashes, .blockComments = slashStar,
         .nestedComments = true, .strings = {tripleDouble, {"#\"", "\"#", false}, doubleQuote},
         .complexity = swiftBranches},
        {.name = "SystemVerilog", .extensions = {"sv", "svh"}, .lineComments = slashes, .blockComments = slashStar,
         .strings = doubleOnly, .complexity = cBranches},
        {.name = "TCL", .extensions = {"tcl"}, .interpreters = {"tclsh", "wish"}, .lineComments = hashes,
         .strings = {doubleQuoteMultiline}, .complexity = tclBranches},
        {.name = "Teal", .extensions = {"teal"}, .lineComments = dashes, .blockComments = {{"--[[", "]]"}},
         .strings = {{"[[", "]]", false, true}, doubleQuote, singleQuote}, .complexity = luaBranches},
        {.name = "Terraform", .extensions = {"tf", "tf.json"}, .lineComments = {"#", "//"},
         .blockComments = slashStar, .strings = doubleOnly},
        {.name = "TeX", .extensions = {"tex", "sty"}, .lineComments = {"%"}},
        {.name = "Thrift", .extensions = {"thrift"}, .lineComments = {"//", "#"}, .blockComments = slashStar,
         .strings = cStrings},
        {.name = "TOML", .extensions = {"toml"}, .lineComments = hashes, .strings = tomlStrings},
        {.name = "TypeScript", .extensions = {"ts", "tsx"}, .lineComments = slashes, .blockComments = slashStar,
         .strings = javaScriptStrings, .complexity = cBranches},
        {.name = "TypeScript Typings", .extensions = {"d.ts"}, .lineComments = slashes, .blockComments = slashStar,
         .strings = javaScriptStrings, .complexity = cBranches},
        {.name = "Unreal Script", .extensions = {"uc", "uci", "upkg"}, .lineComments = slashes,
         .blockComments = slashStar, .strings = cStrings, .complexity = cBranches},
        {.name = "Vala", .extensions = {"vala"}, .lineComments = slashes, .blockComments = slashStar,
         .strings = {tripleDouble, doubleQuote, singleQuote}, .complexity = cBranches},
        {.name = "Varnish Configuration", .extensions = {"vcl"}, .lineComments = {"#", "//"},
         .blockComments = slashStar, .strings = doubleOnly, .complexity = {"if", "elseif", "else", "&&", "||"}},
        {.name = "Verilog", .extensions = {"vg", "vh"}, .lineComments = slashes, .blockComments = slashStar,
         .strings = doubleOnly, .complexity = cBranches},
        {.name = "Vertex Shader File", .extensions = {"vsh"}, .lineComments = slashes, .blockComments = slashStar,
         .complexity = cBranches},
        {.name = "VHDL", .extensions = {"vhd", "vhdl"}, .lineComments = dashes, .strings = doubleOnly,
         .complexity = wirthBranches},
        {.name = "Vim Script", .extensions = {"vim", "vimrc", "gvimrc"},
         .fileNames = {"_vimrc", ".vimrc", "_gvimrc", ".gvimrc", "vimrc", "gvimrc"}, .lineComments = {"\""},
         .strings = {{"'", "'", false}}, .complexity = {"if", "elseif", "else", "for", "while", "&&", "||"}},
        {.name = "Visual Basic", .extensions = {"vb"}, .lineComments = {"'"}, .strings = {{"\"", "\"", false}},
         .complexity = basicBranches},
        {.name = "Vue", .extensions = {"vue"}, .lineComments = slashes,
         .blockComments = {{"<!--", "-->"}, {"/*", "*/"}}, .complexity = cBranches},
        {.name = "Web Services Description Language", .extensions = {"wsdl"}, .blockComments = xmlComment},
        {.name = "Wren", .extensions = {"wren"}, .lineComments = slashes, .blockComments = slashStar,
         .nestedComments = true, .strings = doubleOnly, .complexity = cBranches},
        {.name = "XAML", .extensions = {"xaml"}, .blockComments = xmlComment},
        {.name = "Xcode Config", .extensions = {"xcconfig"}, .lineComments = slashes},
        {.name = "XML", .extensions = {"xml"}, .blockComments = xmlComment},
        {.name = "XML Schema", .extensions = {"xsd"}, .blockComments = xmlComment},
        {.name = "Extensible Stylesheet Language Transformations", .extensions = {"xslt", "xsl"},
         .blockComments = xmlComment},
        {.name = "YAML", .extensions = {"yaml", "yml"}, .lineComments = hashes,
         .strings = {doubleQuote, {"'", "'", false}}},
        {.name = "Zig", .extensions = {"zig"}, .lineComments = slashes, .strings = cStrings, .complexity = zigBranches},
        {.name = "Zsh", .extensions = {"zsh", "zshenv", "zlogin", "zlogout", "zprofile", "zshrc"},
         .fileNames = {".zshenv", ".zlogin", ".zlogout", ".zprofile", ".zshrc"}, .interpreters = {"zsh"},
         .lineComments = hashes, .strings = shellStrings, .complexity = shellBranches},
    };
    return table;
}

} // namespace norvane::counter
