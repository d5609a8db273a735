// dialog_screenshots FOLDER: shows every dialog of setup.exe in each language
// it has, under Wine and Xvfb, and saves FOLDER/<id>-<language>.png.
//
// One Wine prefix for all pictures (the test harness's, in
// build/native/wine-tests/prefixes/Screenshots), set up to look like
// Windows rather than like a bare X display:
// - Wine draws the captions itself ("Decorated" = "N"): with no window
//   manager on the display the caption bar would stay black;
// - Wine's own fonts (Debian package fonts-wine) are copied into
//   C:\windows\Fonts, where Debian's Wine finds them: the bitmap
//   "MS Sans Serif" of the templates, Tahoma for captions, Marlett for the
//   close box (without it the box shows a letter "r");
// - the faces the Japanese, Korean and Chinese templates ask for, and those
//   Wine links to Tahoma for Asian text, are replaced by WenQuanYi Micro Hei
//   (fonts-wqy-microhei), the one font at hand with the glyphs of all
//   three; without it captions show boxes.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "harness.h"
#include "screenshots/png_image.h"

namespace winetest {
namespace {

namespace fs = std::filesystem;

constexpr const char* kRunner = "C:\\screenshots\\dialog_runner.exe";
constexpr const char* kAsianFont = "WenQuanYi Micro Hei";

struct Language {
    const char* name;    // in the file name
    const char* locale;  // LC_ALL, from which Wine picks the resource language
};

const Language kLanguages[] = {
    {"en", "en_US.UTF-8"}, {"fr", "fr_FR.UTF-8"}, {"ja", "ja_JP.UTF-8"},
    {"ko", "ko_KR.UTF-8"}, {"zh-tw", "zh_TW.UTF-8"},
};

struct Dialog {
    int id;
    bool translated;  // in all five languages; else English only
};

const Dialog kDialogs[] = {{100, false}, {102, true}, {103, false}, {130, true}, {131, false}};

const char* const kReplacedFaces[] = {
    // the templates' own
    "ＭＳ Ｐゴシック", "굴림", "新細明體",
    // linked to Tahoma
    "MS UI Gothic", "SimSun", "Gulim", "PMingLiU",
};

constexpr const char* kWineFonts = "/usr/share/wine/fonts";
constexpr const char* kAsianFontFile = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";

void PrepareLook(WinePrefix& prefix) {
    int fonts = 0;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(kWineFonts, error)) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".ttf" && extension != ".fon") continue;
        prefix.CopyIn(entry.path().string(), "C:\\windows\\Fonts\\" + entry.path().filename().string());
        ++fonts;
    }
    if (fonts == 0) {
        throw std::runtime_error(std::string("no fonts in ") + kWineFonts +
                                 ": install the Debian package fonts-wine (scripts/install-deps)");
    }
    if (!fs::exists(kAsianFontFile)) {
        throw std::runtime_error(std::string(kAsianFontFile) +
                                 " is missing: install the Debian package fonts-wqy-microhei (scripts/install-deps)");
    }
    prefix.SetRegistryString("HKCU\\Software\\Wine\\X11 Driver", "Decorated", "N");
    for (const char* face : kReplacedFaces) {
        prefix.SetRegistryString("HKCU\\Software\\Wine\\Fonts\\Replacements", face, kAsianFont);
    }
}

// Shows the dialog, has the answerer take its picture and press OK (id 1);
// the caption and the BMP file.
std::pair<std::string, std::string> Picture(WinePrefix& prefix, int id, const Language& language) {
    Answerer answerer(prefix, {{"*", "1"}}, /*screenshots=*/true);
    WineRunOptions options;
    options.environment["LC_ALL"] = language.locale;
    const RunResult run = prefix.Run(kRunner, {"show", std::to_string(id)}, options);
    const std::vector<DialogRecord> records = answerer.Stop();
    const std::string what = "dialog " + std::to_string(id) + " in " + language.locale;
    if (run.timed_out || run.exit_code != 0) {
        throw std::runtime_error(what + ": dialog_runner.exe failed; see " + prefix.OutputLog());
    }
    if (records.size() != 1) {
        throw std::runtime_error(what + ": expected one window, saw " + std::to_string(records.size()));
    }
    const std::optional<std::string> bmp =
        records[0].screenshot.rfind("C:", 0) == 0 ? prefix.ReadFile(records[0].screenshot) : std::nullopt;
    if (!bmp) throw std::runtime_error(what + ": no screenshot (" + records[0].screenshot + ")");
    return {records[0].caption, *bmp};
}

void WriteFile(const fs::path& path, const std::string& contents) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
    if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
}

int Run(const fs::path& folder) {
    const std::string runner = std::string(WINE_TESTS_WIN64_DIR) + "/dialog_runner.exe";
    const std::string missing = MissingPrerequisites({runner, AnswererExe()});
    if (!missing.empty()) {
        std::cerr << missing;
        return 1;
    }
    fs::create_directories(folder);
    WinePrefix prefix("Screenshots", "win98");
    PrepareLook(prefix);
    prefix.CopyIn(runner, kRunner);

    try {
        for (const Dialog& dialog : kDialogs) {
            std::string englishCaption;
            for (const Language& language : kLanguages) {
                const bool english = std::string(language.name) == "en";
                if (!english && !dialog.translated) continue;
                const auto [caption, bmp] = Picture(prefix, dialog.id, language);
                // A language Wine did not pick falls back to English silently.
                if (english) englishCaption = caption;
                if (!english && caption == englishCaption) {
                    throw std::runtime_error("dialog " + std::to_string(dialog.id) + " in " + language.locale +
                                             " shows the English caption: Wine did not pick the language");
                }
                const fs::path file = folder / (std::to_string(dialog.id) + "-" + language.name + ".png");
                WriteFile(file, EncodePng(DecodeBmp(bmp)));
                std::cout << file.string() << "  " << caption << "\n";
            }
        }
    } catch (...) {
        prefix.KeepForInspection();
        std::cerr << "Wine prefix kept: " << prefix.root() << "\n";
        throw;
    }
    return 0;
}

}  // namespace
}  // namespace winetest

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: dialog_screenshots FOLDER\n";
        return 2;
    }
    try {
        return winetest::Run(argv[1]);
    } catch (const std::exception& error) {
        std::cerr << "dialog_screenshots: " << error.what() << "\n";
        return 1;
    }
}
