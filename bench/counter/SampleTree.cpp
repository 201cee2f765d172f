#include "bench/counter/SampleTree.h"

#include <array>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

#include <stdlib.h>

namespace norvane::counter::bench {

namespace {

struct LanguageSample {
    std::string_view extension;
    // Repeated until the file has its lines; every line ends with a line break.
    std::string_view body;
};

const std::array<LanguageSample, 10> kSamples{{
    {"c", "/* Adds up the values\n   of one row. */\nint sum_row(const int *row, int n) {\n"
          "    int total = 0;\n"
          "    for (int i = 0; i < n; i++) { total += row[i]; } // running total\n"
          "    if (total > 100 && n != 0) { puts(\"big /* not a comment */\"); }\n\n    return total;\n}\n"},
    {"cpp", "// Keeps a name.\nclass Holder {\npublic:\n"
            "    explicit Holder(std::string name) : name_(std::move(name)) {}\n"
            "    bool empty() const { return name_.empty() || name_ == \"//\"; }\n\nprivate:\n"
            "    std::string name_; /* owned */\n};\n"},
    {"go", "// Handle answers one request.\nfunc Handle(w http.ResponseWriter, r *http.Request) {\n"
           "\tpath := `raw // text`\n\tif r.Method != \"GET\" && path != \"\" {\n\t\treturn\n\t}\n\n"
           "\tfor i := 0; i < 3; i++ {\n\t\tfmt.Fprintln(w, i) /* write */\n\t}\n}\n"},
    {"rs", "/* outer /* nested */ still comment */\nfn parse(input: &str) -> Option<u32> {\n"
           "    let marker = \"// not a comment\";\n    // real comment\n"
           "    if input.is_empty() || input == marker { return None; } else { input.parse().ok() }\n}\n\n"},
    {"py", "def scale(values, factor):\n    \"\"\"Multiplies every value.\n\n    Returns a new list.\n    \"\"\"\n"
           "    # comment\n    text = \"# not a comment\"\n    if factor and text:\n"
           "        return [v * factor for v in values if v]\n\n    return []\n"},
    {"js", "// Formats a price.\nfunction price(amount, currency) {\n  const marker = '/* not */';\n"
           "  if (amount === 0 || currency == null) { return 'free'; }\n\n"
           "  return `${amount} ${currency}`; /* trailing */\n}\n"},
    {"ts", "/**\n * A point on the plane.\n */\nexport function distance(a: Point, b: Point): number {\n"
           "  const dx = a.x - b.x; // horizontal\n  const dy = a.y - b.y;\n\n"
           "  for (let i = 0; i < 1; i++) { if (dx > dy) { break; } }\n  return Math.sqrt(dx * dx + dy * dy);\n}\n"},
    {"java", "/** Counts visits. */\npublic final class Counter {\n    private int visits;\n\n"
             "    public void visit(String who) {\n        String marker = \"// x\";\n"
             "        if (who != null && !who.equals(marker)) { visits++; } // counted\n    }\n}\n"},
    {"rb", "# Greets someone.\ndef greet(name)\n  if name && name != \"# no\" then \"hi #{name}\" else nil end\nend\n\n"
           "=begin\nblock comment\n=end\n"},
    {"sh", "# Builds one target.\nbuild() {\n  if [ -n \"$1\" ]; then echo \"arg # not comment\"; fi\n\n"
           "  for f in *.c; do echo \"$f\"; done\n}\n"},
}};

int countLines(std::string_view text) {
    int lines = 0;
    for (const char c : text) {
        lines += c == '\n' ? 1 : 0;
    }
    return lines;
}

} // namespace

SampleTree::SampleTree(int fileCount, int linesPerFile) {
    std::string pattern = (std::filesystem::temp_directory_path() / "norvane-counter-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    path_ = pattern;
    for (int index = 0; index < fileCount; ++index) {
        const LanguageSample& sample = kSamples[static_cast<std::size_t>(index) % kSamples.size()];
        const auto folder = path_ / ("module" + std::to_string(index % 25)) / ("part" + std::to_string(index % 4));
        std::filesystem::create_directories(folder);
        std::string contents;
        int lines = 0;
        while (lines < linesPerFile) {
            contents.append(sample.body);
            lines += countLines(sample.body);
        }
        std::ofstream(folder / ("file" + std::to_string(index) + "." + std::string(sample.extension)), std::ios::binary)
            << contents;
        lineCount_ += lines;
    }
}

SampleTree::~SampleTree() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

} // namespace norvane::counter::bench
