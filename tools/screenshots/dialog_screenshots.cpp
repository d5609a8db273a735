// dialog_screenshots FOLDER: shows every dialog of setup.exe in each language
// it has, as it stands when it opens, under Wine and Xvfb, and saves
// FOLDER/<id>-<language>.png.
//
// dialog_pictures.exe opens each dialog through the program's own dialog
// class, so its initialisation runs (boxes ticked, "Please wait" hidden, the
// initial answers selected); answerer.exe takes the picture and cancels it
// (the About box, which has no Cancel, by its close box), so nothing is
// installed. It runs from a medium in the prefix that the main dialog
// accepts: setup.ini and both applications installers it may look for; with
// setup.ini asking the architecture question, the main dialog's
// initialisation opens 130.
//
// One Wine prefix for all pictures (in build/native/wine-tests/prefixes/
// Screenshots), version Windows 98 SE (the one that asks 130), set up to look
// like Windows rather than like a bare X display:
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
#include <png.h>

#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "wine_harness.h"

namespace winetest {
namespace {

namespace fs = std::filesystem;

constexpr const char* kMedium = "C:\\medium\\";
constexpr const char* kRunner = "C:\\medium\\dialog_pictures.exe";
constexpr const char* kAsianFont = "WenQuanYi Micro Hei";

struct Language {
    const char* name;    // in the file name
    const char* locale;  // LC_ALL, from which Wine picks the resource language
};

const Language kLanguages[] = {
    {"en", "en_US.UTF-8"}, {"fr", "fr_FR.UTF-8"}, {"ja", "ja_JP.UTF-8"},
    {"ko", "ko_KR.UTF-8"}, {"zh-tw", "zh_TW.UTF-8"},
};

struct Template {
    int id;
    bool translated;            // in all five languages; else English only
    const char* installOption;  // the medium's setup.ini, [InstallOption]
    const char* dismissal;      // the answerer's steps: Cancel, or the close box
};

// WDM on 98 SE, as on the example CD; only 130's pictures ask the user.
constexpr const char* kWdm = "Windows98SEDriver=1\r\n";
constexpr const char* kAsked = "Windows98SEDriverAskUser=1\r\nWindows98SEDriver=1\r\n";
const Template kDialogs[] = {
    {100, false, kWdm, "syscommand:0xF060"},  // SC_CLOSE: the About box has no Cancel
    {102, true, kWdm, "2"},
    {103, false, kWdm, "2"},
    {130, true, kAsked, "2"},
    {131, false, kWdm, "2"},
};

const char* const kReplacedFaces[] = {
    // the templates' own
    "ＭＳ Ｐゴシック", "굴림", "新細明體",
    // linked to Tahoma
    "MS UI Gothic", "SimSun", "Gulim", "PMingLiU",
};

constexpr const char* kWineFonts = "/usr/share/wine/fonts";
constexpr const char* kAsianFontFile = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";

void PrepareLook(Prefix& prefix) {
    int fonts = 0;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(kWineFonts, error)) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".ttf" && extension != ".fon") continue;
        prefix.Put("C:\\windows\\Fonts\\" + entry.path().filename().string(), HostFile(entry.path().string()));
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
    std::string settings = "[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n\"Decorated\"=\"N\"\r\n\r\n"
                           "[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n";
    for (const char* face : kReplacedFaces) settings += "\"" + std::string(face) + "\"=\"" + kAsianFont + "\"\r\n";
    prefix.Import(settings);
}

// Files the main dialog's initialisation looks for; the installers are
// only opened, never run.
void PrepareMedium(Prefix& prefix) {
    prefix.Put(kRunner, HostFile(Program("dialog_pictures.exe")));
    for (const char* installer : {"W95-98\\app\\Setup.exe", "W2K-ME\\app\\Setup.exe"}) {
        prefix.Put(kMedium + std::string(installer), "MZ");
    }
}

// Opens the dialog, has the answerer take its picture and dismiss it; the
// caption and the BMP file.
std::pair<std::string, std::string> Picture(Prefix& prefix, const Template& dialog, const Language& language) {
    prefix.Put(kMedium + std::string("setup.ini"), std::string("[InstallOption]\r\n") + dialog.installOption);
    prefix.Answer({{"*", dialog.dismissal}}, /*shots=*/true);
    const std::optional<int> run =
        prefix.Run(kRunner, {std::to_string(dialog.id)}, kMedium, {{"LC_ALL", language.locale}}, Ms(60000));
    const std::vector<Dialog> records = prefix.Answers();
    const std::string what = "dialog " + std::to_string(dialog.id) + " in " + language.locale;
    if (run != 0) {
        throw std::runtime_error(what + ": dialog_pictures.exe did not end cancelled; see " + prefix.Log());
    }
    if (records.size() != 1) {
        throw std::runtime_error(what + ": expected one window, saw " + std::to_string(records.size()));
    }
    const std::optional<std::string> bmp =
        records[0].shot.rfind("C:", 0) == 0 ? prefix.Read(records[0].shot) : std::nullopt;
    if (!bmp) throw std::runtime_error(what + ": no screenshot (" + records[0].shot + ")");
    return {records[0].caption, *bmp};
}

uint32_t Number(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (size_t i = 4; i-- > 0;) value = value << 8 | static_cast<unsigned char>(bytes.at(at + i));
    return value;
}

// The answerer's 24-bit bottom-up BMP as an RGB PNG file.
void WritePng(const std::string& bmp, const fs::path& path) {
    if (bmp.size() < 54 || bmp.compare(0, 2, "BM") != 0 || Number(bmp, 28) % 65536 != 24) {
        throw std::runtime_error("not a 24-bit BMP file");
    }
    const uint32_t width = Number(bmp, 18), height = Number(bmp, 22), offset = Number(bmp, 10);
    const size_t stride = (width * 3 + 3) & ~3u;
    if (bmp.size() < offset + stride * height) throw std::runtime_error("truncated BMP file");
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = PNG_FORMAT_BGR;
    // A negative stride: the bottom row comes first, as in the BMP file.
    if (!png_image_write_to_file(&image, path.c_str(), 0, bmp.data() + offset, -static_cast<png_int_32>(stride),
                                 nullptr)) {
        throw std::runtime_error("cannot write " + path.string() + ": " + image.message);
    }
}

int Run(const fs::path& folder) {
    const std::string missing = Missing({"dialog_pictures.exe", "answerer.exe"});
    if (!missing.empty()) {
        std::cerr << missing;
        return 1;
    }
    fs::create_directories(folder);
    Prefix prefix("Screenshots", "win98");
    PrepareLook(prefix);
    PrepareMedium(prefix);
    std::map<std::string, int> englishCaptions;  // a dialog shown in place of another shows its caption

    try {
        for (const Template& dialog : kDialogs) {
            std::string englishCaption;
            for (const Language& language : kLanguages) {
                const bool english = std::string(language.name) == "en";
                if (!english && !dialog.translated) continue;
                const auto [caption, bmp] = Picture(prefix, dialog, language);
                if (english && !englishCaptions.emplace(caption, dialog.id).second) {
                    throw std::runtime_error("dialog " + std::to_string(dialog.id) + " shows the caption of dialog " +
                                             std::to_string(englishCaptions[caption]));
                }
                // A language Wine did not pick falls back to English silently.
                if (english) englishCaption = caption;
                if (!english && caption == englishCaption) {
                    throw std::runtime_error("dialog " + std::to_string(dialog.id) + " in " + language.locale +
                                             " shows the English caption: Wine did not pick the language");
                }
                const fs::path file = folder / (std::to_string(dialog.id) + "-" + language.name + ".png");
                WritePng(bmp, file);
                std::cout << file.string() << "  " << caption << "\n";
            }
        }
    } catch (...) {
        prefix.Keep();
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
