// The program's dialog templates, as the virtual machine reads them from the
// resource scripts: every dialog in every language, control by control.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/vm/dialog_templates.h"

namespace {

constexpr std::uint32_t kPopup = 0x80000000;
constexpr std::uint32_t kChild = 0x40000000;
constexpr std::uint32_t kVisible = 0x10000000;
constexpr std::uint32_t kCaption = 0x00C00000;
constexpr std::uint32_t kSysMenu = 0x00080000;
constexpr std::uint32_t kMinimizeBox = 0x00020000;
constexpr std::uint32_t kModalFrame = 0x0080;
constexpr std::uint32_t kSetFont = 0x0040;
constexpr std::uint32_t kAppWindow = 0x00040000;
constexpr std::uint32_t kGroup = 0x00020000;
constexpr std::uint32_t kTab = 0x00010000;
constexpr std::uint32_t kNoPrefix = 0x0080;

// One control: the text "#128" stands for an icon resource.
struct ControlRow {
    int id;
    const char* kind;
    const char* text;
    int x, y, width, height;
    std::uint32_t styles;  // beyond WS_CHILD | WS_VISIBLE and the kind's own type
};

struct DialogTable {
    int id;
    const char* language;
    const char* title;
    int width, height;
    const char* font;
    int fontSize;
    std::uint32_t exStyle;
    std::vector<ControlRow> controls;  // template order
};

// The BS_ or SS_ type each control statement stands for.
std::uint32_t TypeOf(const std::string& kind) {
    if (kind == "DEFPUSHBUTTON") return 0x1;
    if (kind == "PUSHBUTTON") return 0x0;
    if (kind == "AUTOCHECKBOX") return 0x3;
    if (kind == "AUTORADIOBUTTON") return 0x9;
    if (kind == "GROUPBOX") return 0x7;
    if (kind == "LTEXT") return 0x0;
    if (kind == "CTEXT") return 0x1;
    if (kind == "ICON") return 0x3;
    ADD_FAILURE() << "no type for " << kind;
    return 0;
}

// Main setup dialog, English.
const DialogTable kSetupEnglish = {
    102, "English", "PCI Audio Device Driver And Applications Setup Program", 169, 125, "MS Sans Serif", 12, kAppWindow,
    {
        {1, "DEFPUSHBUTTON", "OK", 25, 100, 50, 14, kTab},
        {2, "PUSHBUTTON", "Cancel", 90, 100, 50, 14, kTab},
        {-1, "GROUPBOX", "", 5, 20, 160, 60, 0},
        {1003, "LTEXT", "Please wait .....", 65, 45, 71, 8, kGroup},
        {1001, "AUTOCHECKBOX", "Install Applications", 20, 35, 96, 10, kTab},
        {1002, "AUTOCHECKBOX", "Install Device Driver", 20, 60, 96, 10, kTab},
        {-1, "LTEXT", "Please select the installation options:", 5, 10, 130, 8, kGroup},
    }};

// Main setup dialog, French.
const DialogTable kSetupFrench = {
    102, "French", "Programme d'installation du pilote de peripherique Audio PCI et des applications", 189, 126, "MS Sans Serif", 12, kAppWindow,
    {
        {1, "DEFPUSHBUTTON", "OK", 35, 100, 50, 14, kTab},
        {2, "PUSHBUTTON", "Annuler", 100, 100, 50, 14, kTab},
        {-1, "GROUPBOX", "", 15, 20, 160, 60, 0},
        {1003, "LTEXT", "Patientez quelques instants ...", 50, 45, 96, 8, kGroup},
        {1001, "AUTOCHECKBOX", "Installer les applications", 30, 35, 96, 10, kTab},
        {1002, "AUTOCHECKBOX", "Installer le pilote de peripherique", 30, 60, 135, 10, kTab},
        {-1, "LTEXT", "Choisissez les options d'installation :", 15, 10, 130, 8, kGroup},
    }};

// Main setup dialog, Japanese.
const DialogTable kSetupJapanese = {
    102, "Japanese", "PCI Audio ﾃﾞﾊﾞｲｽﾄﾞﾗｲﾊﾞ/ｱﾌﾟﾘｹｰｼｮﾝ ｲﾝｽﾄｰﾙﾌﾟﾛｸﾞﾗﾑ ", 169, 125, "ＭＳ Ｐゴシック", 12, kAppWindow,
    {
        {1, "DEFPUSHBUTTON", "OK", 25, 100, 50, 14, kTab},
        {2, "PUSHBUTTON", "ｷｬﾝｾﾙ ", 90, 100, 50, 14, kTab},
        {-1, "GROUPBOX", "", 5, 20, 160, 60, 0},
        {1003, "LTEXT", "お待ちください .....", 65, 45, 71, 8, kGroup},
        {1001, "AUTOCHECKBOX", "ｱﾌﾟﾘｹｰｼｮﾝをｲﾝｽﾄｰﾙする ", 20, 35, 130, 10, kTab},
        {1002, "AUTOCHECKBOX", "ﾃﾞﾊﾞｲｽﾄﾞﾗｲﾊﾞをｲﾝｽﾄｰﾙする", 20, 60, 130, 10, kTab},
        {-1, "LTEXT", "ｲﾝｽﾄｰﾙのｵﾌﾟｼｮﾝを選択してください:", 5, 10, 140, 8, kGroup},
    }};

// Main setup dialog, Korean.
const DialogTable kSetupKorean = {
    102, "Korean", "PCI Audio 드라이버 및 응용프로그램 설치", 169, 125, "굴림", 12, kAppWindow,
    {
        {1, "DEFPUSHBUTTON", "네", 25, 100, 50, 14, kTab},
        {2, "PUSHBUTTON", "닫기", 90, 100, 50, 14, kTab},
        {-1, "GROUPBOX", "", 5, 20, 160, 60, 0},
        {1003, "CTEXT", "잠시만 기다려 주십시오 .....", 25, 45, 120, 8, kGroup},
        {1001, "AUTOCHECKBOX", "응용프로그램 설치", 20, 35, 125, 10, kTab},
        {1002, "AUTOCHECKBOX", "드라이버 설치", 20, 60, 96, 10, kTab},
        {-1, "LTEXT", "설치 옵션을 선택하여 주십시오:", 5, 10, 145, 8, kGroup},
    }};

// Main setup dialog, Traditional Chinese.
const DialogTable kSetupChineseTraditional = {
    102, "ChineseTraditional", "安裝 PCI 音效設備驅動程式與應用程式", 169, 125, "新細明體", 12, kAppWindow,
    {
        {1, "DEFPUSHBUTTON", "確認", 25, 100, 50, 14, kTab},
        {2, "PUSHBUTTON", "取消", 90, 100, 50, 14, kTab},
        {-1, "GROUPBOX", "", 5, 20, 160, 60, 0},
        {1003, "LTEXT", "請稍後‧‧‧", 65, 45, 71, 8, kGroup},
        {1001, "AUTOCHECKBOX", "安裝應用程式", 20, 35, 96, 10, kTab},
        {1002, "AUTOCHECKBOX", "安裝驅動程式", 20, 60, 96, 10, kTab},
        {-1, "LTEXT", "請選擇安裝選項：", 5, 10, 130, 8, kGroup},
    }};

// Driver architecture dialog, English.
const DialogTable kDriverTypeEnglish = {
    130, "English", "Windows 98SE/ME device-driver architecture selection", 229, 170, "MS Sans Serif", 12, kAppWindow,
    {
        {1, "DEFPUSHBUTTON", "OK", 60, 150, 50, 14, kTab},
        {2, "PUSHBUTTON", "Cancel", 120, 150, 50, 14, kTab},
        {-1, "GROUPBOX", "", 5, 15, 220, 125, 0},
        {1004, "AUTORADIOBUTTON", "Virtual-Device (VxD)", 15, 25, 120, 10, kGroup},
        {1005, "AUTORADIOBUTTON", "Win32 Driver Model (WDM) ", 15, 70, 130, 10, 0},
        {-1, "LTEXT", "Please select a driver architecture:", 5, 5, 115, 8, kGroup},
        {-1, "LTEXT", "Provide comprehensive support on SPDIF. Recommended for ", 35, 40, 185, 8, kGroup},
        {-1, "LTEXT", "MiniDisc player users.", 35, 50, 90, 8, kGroup},
        {-1, "LTEXT", "Provide support on playback environment and speakers setup.", 35, 85, 185, 8, kGroup},
        {-1, "LTEXT", "Recommended for general users.", 35, 95, 140, 8, kGroup},
        {-1, "LTEXT", "Note: Windows 98 SE system disc is required for installing the", 35, 115, 185, 8, kGroup},
        {-1, "LTEXT", "WDM driver under Windows 98 SE.", 35, 125, 155, 8, kGroup},
    }};

// Driver architecture dialog, French.
const DialogTable kDriverTypeFrench = {
    130, "French", "Selection de l'architecture du pilote de peripherique pour Windows 98SE/ME", 229, 170, "MS Sans Serif", 12, kAppWindow,
    {
        {1, "DEFPUSHBUTTON", "OK", 60, 150, 50, 14, kTab},
        {2, "PUSHBUTTON", "Annuler", 120, 150, 50, 14, kTab},
        {-1, "GROUPBOX", "", 5, 15, 220, 125, 0},
        {1004, "AUTORADIOBUTTON", "Virtual-Device (VxD)", 15, 25, 120, 10, kGroup},
        {1005, "AUTORADIOBUTTON", "Win32 Driver Model (WDM) ", 15, 70, 130, 10, 0},
        {-1, "LTEXT", "Selectionnez l'architecture du pilote :", 5, 5, 140, 8, kGroup},
        {-1, "LTEXT", "Fournit un support complet du SPDIF. Recommande", 25, 40, 185, 8, kGroup},
        {-1, "LTEXT", "pour les utilisateurs de lecteur MiniDisc.", 25, 50, 185, 8, kGroup},
        {-1, "LTEXT", "Fournit le support pour l'environnement de lecture et l'installation", 25, 85, 195, 8, kGroup},
        {-1, "LTEXT", "des haut-parleurs. Recommande pour la plupart des utilisateurs.", 25, 95, 195, 8, kGroup},
        {-1, "LTEXT", "Note : Le disque systeme de Windows 98 SE est necessaire pour ", 25, 115, 195, 8, kGroup},
        {-1, "LTEXT", "l'installation du pilote WDM sous Windows 98 SE.", 25, 125, 185, 8, kGroup},
    }};

// Driver architecture dialog, Japanese.
const DialogTable kDriverTypeJapanese = {
    130, "Japanese", "Windows 98SE/ME ﾃﾞﾊﾞｲｽﾄﾞﾗｲﾊﾞ形式の選択", 229, 170, "ＭＳ Ｐゴシック", 12, kAppWindow,
    {
        {1, "DEFPUSHBUTTON", "OK", 60, 150, 50, 14, kTab},
        {2, "PUSHBUTTON", "ｷｬﾝｾﾙ ", 120, 150, 50, 14, kTab},
        {-1, "GROUPBOX", "", 5, 15, 220, 125, 0},
        {1004, "AUTORADIOBUTTON", "VxD (仮想ﾃﾞﾊﾞｲｽ)", 15, 25, 120, 10, kGroup},
        {1005, "AUTORADIOBUTTON", "WDM (Windows Driver Model)", 15, 70, 175, 10, 0},
        {-1, "LTEXT", "ﾄﾞﾗｲﾊﾞの形式を選択してください:", 5, 5, 150, 8, kGroup},
        {-1, "LTEXT", "SPDIFについての多彩な設定項目を提供します。", 35, 40, 185, 8, kGroup},
        {-1, "LTEXT", "MD (ﾐﾆﾃﾞｨｽｸ)のﾕｰｻﾞｰに最適です。", 35, 50, 90, 8, kGroup},
        {-1, "LTEXT", "豊富な再生環境とｽﾋﾟｰｶｰ設定のｵﾌﾟｼｮﾝを提供します。", 35, 85, 185, 8, kGroup},
        {-1, "LTEXT", "一般のﾕｰｻﾞｰに適しています。", 35, 95, 140, 8, kGroup},
        {-1, "LTEXT", "注: Windows 98 SEでのWDMﾄﾞﾗｲﾊﾞのｲﾝｽﾄｰﾙ時には、", 35, 115, 185, 8, kGroup},
        {-1, "LTEXT", "Windows 98 SEのｼｽﾃﾑﾃﾞｨｽｸが求められます。", 35, 125, 155, 8, kGroup},
    }};

// Driver architecture dialog, Korean.
const DialogTable kDriverTypeKorean = {
    130, "Korean", "Windows 98SE/ME 드라이버 형식 선택", 240, 171, "굴림", 12, kAppWindow,
    {
        {1, "DEFPUSHBUTTON", "네", 65, 150, 50, 14, kTab},
        {2, "PUSHBUTTON", "닫기", 125, 150, 50, 14, kTab},
        {-1, "GROUPBOX", "", 5, 15, 230, 125, 0},
        {1004, "AUTORADIOBUTTON", "VxD (가상 디바이스)", 15, 25, 120, 10, kGroup},
        {1005, "AUTORADIOBUTTON", "WDM (Windows Driver Model)", 15, 70, 130, 10, 0},
        {-1, "LTEXT", "드라이버 형식을 선택하여 주십시오:", 5, 5, 175, 8, kGroup},
        {-1, "LTEXT", "디지털 입출력(SPDIF) 에 관한 보다 자세한 옵션을 제공합니다.", 25, 40, 208, 8, kGroup},
        {-1, "LTEXT", "MD (MiniDisc) 녹음기를 사용하시는 분들께 권합니다.", 25, 50, 208, 8, kGroup},
        {-1, "LTEXT", "풍부한 재생 및 스피커 설정 옵션을 제공합니다.", 25, 85, 208, 8, kGroup},
        {-1, "LTEXT", "일반 사용자분들께 권합니다.", 25, 95, 140, 8, kGroup},
        {-1, "LTEXT", "Windows 98 SE에 WDM 드라이버를 설치하실 때에는 Windows 98SE", 25, 115, 208, 8, kGroup},
        {-1, "LTEXT", "시스템 디스크가 요구됩니다.", 25, 125, 155, 8, kGroup},
    }};

// Driver architecture dialog, Traditional Chinese.
const DialogTable kDriverTypeChineseTraditional = {
    130, "ChineseTraditional", "選擇要安裝的 Windows 98SE/ME 驅動程式架構", 229, 170, "新細明體", 12, kAppWindow,
    {
        {1, "DEFPUSHBUTTON", "確認", 60, 150, 50, 14, kTab},
        {2, "PUSHBUTTON", "取消", 120, 150, 50, 14, kTab},
        {-1, "GROUPBOX", "", 5, 15, 220, 125, 0},
        {1004, "AUTORADIOBUTTON", "虛擬設備 (VxD)", 15, 25, 120, 10, kGroup},
        {1005, "AUTORADIOBUTTON", "Win32 驅動程式模式 (WDM) ", 15, 70, 130, 10, 0},
        {-1, "LTEXT", "請選擇底下任一種驅動程式架構：", 5, 5, 130, 8, kGroup},
        {-1, "LTEXT", "在 SPDIF 方面提供較佳的支援服務，建議 MiniDisc ", 35, 40, 185, 8, kGroup},
        {-1, "LTEXT", "隨身聽的使用者選用。", 35, 50, 90, 8, kGroup},
        {-1, "LTEXT", "提供播放環境與喇叭組態設定功能，建議一般使用", 35, 85, 185, 8, kGroup},
        {-1, "LTEXT", "者選用。", 35, 95, 140, 8, kGroup},
        {-1, "LTEXT", "備註： 如果您的作業環境是 Windows 98 SE，安裝", 35, 115, 185, 8, kGroup},
        {-1, "LTEXT", " WDM 驅動程式時將會需要系統光碟。", 35, 125, 155, 8, kGroup},
    }};


// About box, English only.
const DialogTable kAbout = {
    100, "English", "About Setup", 235, 55, "MS Sans Serif", 8, 0,
    {
        {-1, "ICON", "#128", 11, 17, 20, 20, 0},
        {-1, "LTEXT", "Setup Version 2.5", 40, 10, 119, 8, kGroup | kNoPrefix},
        {-1, "LTEXT", "Orvanta PCI Audio driver package", 40, 25, 119, 8, kGroup},
        {1, "DEFPUSHBUTTON", "OK", 178, 7, 50, 14, kTab},
    }};

// VxD driver option dialog, English only.
const DialogTable kVxdOptions = {
    103, "English", "PCI Audio Device Driver Setup Program for Windows 95/98/ME", 212, 210, "MS Sans Serif", 12,
    kAppWindow,
    {
        {1, "DEFPUSHBUTTON", "Install", 50, 192, 50, 14, kTab},
        {2, "PUSHBUTTON", "Cancel", 111, 192, 50, 14, kTab},
        {1000, "AUTOCHECKBOX", "Disable MIDI port (device)", 10, 119, 94, 10, kTab},
        {1001, "AUTOCHECKBOX", "Disable GAME port (device)", 10, 130, 99, 10, kTab},
        {-1, "LTEXT", "You can install the driver by using the default options, or select the", 10, 4, 201, 10, kGroup},
        {-1, "LTEXT", "following options which your audio device uses. And then press", 10, 15, 181, 8, kGroup},
        {-1, "LTEXT", "[Install] to start the installation.", 10, 26, 136, 8, kGroup},
        {-1, "GROUPBOX", "Phone Jacks", 10, 39, 195, 76, 0},
        {1006, "AUTORADIOBUTTON", "4720 in MotherBoard", 20, 49, 76, 10, kGroup},
        {1011, "AUTOCHECKBOX", "Line-in and rear speaker output share the same jack.", 35, 61, 161, 10, kTab},
        {1012, "AUTOCHECKBOX", "Line-in and Center/Subwoofer share the same jack.", 35, 73, 158, 10, kTab},
        {1013, "AUTOCHECKBOX", "Microphone and Subwoofer share the same jack.", 35, 85, 152, 10, kTab},
        {1007, "AUTORADIOBUTTON", "4720 in sound card (rear speakers jack individually)", 20, 102, 180, 10, kGroup},
        {-1, "LTEXT", "Note: If you are not familiar with the hardware specifications, and are ", 10, 149, 200, 8, kGroup},
        {-1, "LTEXT", "using a  pair of speakers, we suggest you use the default setting.", 10, 159, 200, 8, kGroup},
        {-1, "LTEXT", "For more information, please refer the Readme.txt.", 10, 176, 160, 8, kGroup},
    }};

// WDM driver option dialog, English only.
const DialogTable kWdmOptions = {
    131, "English", "PCI Audio Device Driver Setup Program for Windows 98 SE/ME", 234, 200, "MS Sans Serif", 12,
    kAppWindow,
    {
        {1, "DEFPUSHBUTTON", "Install", 65, 180, 50, 14, kTab},
        {2, "PUSHBUTTON", "Cancel", 126, 180, 50, 14, kTab},
        {1000, "AUTOCHECKBOX", "Disable legacy device (MIDI/GAME port)", 10, 119, 195, 10, kTab},
        {-1, "LTEXT", "You can install the driver by using the default options, or select the", 10, 4, 220, 10, kGroup},
        {-1, "LTEXT", "following options which your audio device uses. And then press", 10, 15, 220, 8, kGroup},
        {-1, "LTEXT", "[Install] to start the installation.", 10, 26, 136, 8, kGroup},
        {-1, "GROUPBOX", "Phone Jacks", 10, 39, 215, 76, 0},
        {1006, "AUTORADIOBUTTON", "4720 in MotherBoard", 20, 49, 76, 10, kGroup},
        {1011, "AUTOCHECKBOX", "Line-in and rear speaker output share the same jack.", 35, 61, 185, 10, kTab},
        {1012, "AUTOCHECKBOX", "Line-in and Center/Subwoofer share the same jack.", 35, 73, 185, 10, kTab},
        {1013, "AUTOCHECKBOX", "Microphone and Subwoofer share the same jack.", 35, 85, 185, 10, kTab},
        {1007, "AUTORADIOBUTTON", "4720 in sound card (rear speakers jack individually)", 20, 102, 195, 10, kGroup},
        {-1, "LTEXT", "Note: If you are not familiar with the hardware specifications, and are ", 10, 135, 200, 8, kGroup},
        {-1, "LTEXT", "using a  pair of speakers, we suggest you use the default setting.", 10, 145, 200, 8, kGroup},
        {-1, "LTEXT", "For more information, please refer the Readme.txt.", 10, 162, 160, 8, kGroup},
    }};

const std::vector<const DialogTable*> kAllDialogs = {
    &kAbout,        &kSetupEnglish,        &kSetupFrench,        &kSetupJapanese,
    &kSetupKorean,  &kSetupChineseTraditional, &kVxdOptions,     &kDriverTypeEnglish,
    &kDriverTypeFrench, &kDriverTypeJapanese, &kDriverTypeKorean, &kDriverTypeChineseTraditional,
    &kWdmOptions,
};

// The variant of exactly that language, without the loader's fallback.
const vm::DialogTemplate* Variant(int id, const std::string& language) {
    for (const vm::DialogTemplate& dialog : vm::AllDialogTemplates()) {
        if (dialog.id == id && dialog.language == language) return &dialog;
    }
    return nullptr;
}

std::string Describe(const vm::ControlTemplate& control) {
    return control.iconId >= 0 ? "#" + std::to_string(control.iconId) : control.text;
}

TEST(DialogTemplatesTest, EveryDialogMatchesItsTable) {
    for (const DialogTable* table : kAllDialogs) {
        SCOPED_TRACE("dialog " + std::to_string(table->id) + " " + table->language);
        const vm::DialogTemplate* dialog = Variant(table->id, table->language);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->title, table->title);
        EXPECT_EQ(dialog->x, 0);
        EXPECT_EQ(dialog->y, 0);
        EXPECT_EQ(dialog->width, table->width);
        EXPECT_EQ(dialog->height, table->height);
        // Popup, caption, system menu, modal frame; no minimise box.
        EXPECT_EQ(dialog->style, kPopup | kCaption | kSysMenu | kModalFrame | kSetFont);
        EXPECT_FALSE(dialog->HasStyle(kMinimizeBox));
        EXPECT_EQ(dialog->exStyle, table->exStyle);
        EXPECT_EQ(dialog->fontName, table->font);
        EXPECT_EQ(dialog->fontSize, table->fontSize);
        ASSERT_EQ(dialog->controls.size(), table->controls.size());
        for (std::size_t i = 0; i < table->controls.size(); ++i) {
            const ControlRow& row = table->controls[i];
            const vm::ControlTemplate& control = dialog->controls[i];
            SCOPED_TRACE("control " + std::to_string(i) + " \"" + row.text + "\"");
            EXPECT_EQ(control.id, row.id);
            EXPECT_EQ(control.kind, row.kind);
            EXPECT_EQ(Describe(control), row.text);
            EXPECT_EQ(control.x, row.x);
            EXPECT_EQ(control.y, row.y);
            EXPECT_EQ(control.width, row.width);
            EXPECT_EQ(control.height, row.height);
            EXPECT_EQ(control.style, kChild | kVisible | TypeOf(row.kind) | row.styles);
            EXPECT_EQ(control.exStyle, 0u);
            EXPECT_EQ(control.tabStop, (row.styles & kTab) != 0);
            EXPECT_EQ(control.groupStart, (row.styles & kGroup) != 0);
        }
    }
}

TEST(DialogTemplatesTest, EachDialogExistsInItsLanguagesOnly) {
    const std::vector<std::string> all = {"English", "French", "Japanese", "Korean", "ChineseTraditional"};
    const std::vector<std::string> englishOnly = {"English"};
    const struct {
        int id;
        const std::vector<std::string>& languages;
    } rows[] = {{100, englishOnly}, {102, all}, {103, englishOnly}, {130, all}, {131, englishOnly}};
    std::size_t expected = 0;
    for (const auto& row : rows) {
        for (const std::string& language : all) {
            const bool wanted = std::find(row.languages.begin(), row.languages.end(), language) != row.languages.end();
            EXPECT_EQ(Variant(row.id, language) != nullptr, wanted) << row.id << " " << language;
        }
        expected += row.languages.size();
    }
    EXPECT_EQ(vm::AllDialogTemplates().size(), expected);
}

TEST(DialogTemplatesTest, LoaderFallsBackToEnglish) {
    const struct {
        int id;
        const char* asked;
        const char* found;  // nullptr: no dialog at all
    } rows[] = {
        {102, "Korean", "Korean"},       {130, "French", "French"},  {102, "English", "English"},
        {103, "Japanese", "English"},    {131, "French", "English"}, {100, "ChineseTraditional", "English"},
        {102, "German", "English"},      {130, "", "English"},       {999, "English", nullptr},
        {101, "French", nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.id) + " asked in \"" + row.asked + "\"");
        const vm::DialogTemplate* dialog = vm::FindDialogTemplate(row.id, row.asked);
        if (row.found == nullptr) {
            EXPECT_EQ(dialog, nullptr);
            continue;
        }
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->id, row.id);
        EXPECT_EQ(dialog->language, row.found);
    }
}

// The toolkit walks these: Tab from control to control, the arrow keys and
// the automatic radio buttons within a group.
TEST(DialogTemplatesTest, TabOrderAndRadioGroups) {
    const struct {
        int id;
        std::vector<int> tabStops;
        std::vector<std::vector<int>> radioGroups;
    } rows[] = {
        {100, {1}, {}},
        {102, {1, 2, 1001, 1002}, {}},
        {103, {1, 2, 1000, 1001, 1011, 1012, 1013}, {{1006}, {1007}}},
        {130, {1, 2}, {{1004, 1005}}},
        {131, {1, 2, 1000, 1011, 1012, 1013}, {{1006}, {1007}}},
    };
    for (const auto& row : rows) {
        for (const vm::DialogTemplate& dialog : vm::AllDialogTemplates()) {
            if (dialog.id != row.id) continue;
            SCOPED_TRACE("dialog " + std::to_string(dialog.id) + " " + dialog.language);
            std::vector<int> tabStops;
            std::vector<std::vector<int>> radioGroups;
            bool groupHasRadio = false;
            for (const vm::ControlTemplate& control : dialog.controls) {
                if (control.tabStop) tabStops.push_back(control.id);
                if (control.groupStart) groupHasRadio = false;
                if (control.kind != "AUTORADIOBUTTON") continue;
                if (!groupHasRadio) radioGroups.emplace_back();
                radioGroups.back().push_back(control.id);
                groupHasRadio = true;
            }
            EXPECT_EQ(tabStops, row.tabStops);
            EXPECT_EQ(radioGroups, row.radioGroups);
        }
    }
}

TEST(DialogTemplatesTest, AboutItemTextInEveryLanguage) {
    for (const char* language : {"English", "French", "Japanese", "Korean", "ChineseTraditional"}) {
        const std::string* text = vm::FindResourceString(101, language);
        ASSERT_NE(text, nullptr) << language;
        EXPECT_EQ(*text, "&About Setup...") << language;
    }
    EXPECT_EQ(vm::FindResourceString(102, "English"), nullptr);
}

}  // namespace
