// Each dialog in each of its languages as the program is specified with: its
// controls' ids, kinds, tab stops and groups, size, font and every text.
#include <gtest/gtest.h>

#include <map>

#include "platform/vm/dialog_templates.h"

namespace {

// A control: its id, D(efault)/P(ush) button, C(heck box), R(adio button),
// G(roup box), T(ext) or I(con), '+' for a tab stop, '^' for a group start.
std::string Controls(const vm::DialogTemplate& dialog) {
    std::string out;
    for (const vm::ControlTemplate& c : dialog.controls) {
        const std::string& k = c.kind;
        out += (out.empty() ? "" : " ") + std::to_string(c.id) + (k == "DEFPUSHBUTTON" ? "D" : k == "PUSHBUTTON" ? "P" : k == "AUTOCHECKBOX" ? "C"
               : k == "AUTORADIOBUTTON" ? "R" : k == "GROUPBOX" ? "G" : k == "ICON" ? "I" : "T") + (c.tabStop ? "+" : "") + (c.groupStart ? "^" : "");
    }
    return out;
}

std::string Texts(const vm::DialogTemplate& dialog) {
    std::string out = dialog.title;
    for (const vm::ControlTemplate& c : dialog.controls) out += "|" + (c.iconId >= 0 ? "#" + std::to_string(c.iconId) : c.text);
    return out;
}

TEST(ResourceDialogs, EveryDialogInEveryLanguageItHas) {
    const std::map<int, std::pair<std::uint32_t, std::string>> controls = {  // the same in every language
        {102, {0x40000, "1D+ 2P+ -1G 1003T^ 1001C+ 1002C+ -1T^"}},
        {103, {0x40000, "1D+ 2P+ 1000C+ 1001C+ -1T^ -1T^ -1T^ -1G 1006R^ 1011C+ 1012C+ 1013C+ 1007R^ -1T^ -1T^ -1T^"}},
        {130, {0x40000, "1D+ 2P+ -1G 1004R^ 1005R -1T^ -1T^ -1T^ -1T^ -1T^ -1T^ -1T^"}},
        {131, {0x40000, "1D+ 2P+ 1000C+ -1T^ -1T^ -1T^ -1G 1006R^ 1011C+ 1012C+ 1013C+ 1007R^ -1T^ -1T^ -1T^"}},
    };
    struct Row { int id; const char* language; int width, height; const char* font; int fontSize; const char* texts; };
    const Row rows[] = {
        {102, "ChineseTraditional", 169, 125, "新細明體", 12, "安裝 PCI 音效設備驅動程式與應用程式|確認|取消||請稍後‧‧‧|安裝應用程式|安裝驅動程式|請選擇安裝選項："},
        {102, "English", 169, 125, "MS Sans Serif", 12, "PCI Audio Device Driver And Applications Setup Program|OK|Cancel||Please wait .....|Install Applications|Install Device Driver|Please select the installation options:"},
        {102, "French", 189, 126, "MS Sans Serif", 12, "Programme d'installation du pilote de peripherique Audio PCI et des applications|OK|Annuler||Patientez quelques instants ...|Installer les applications|Installer le pilote de peripherique|Choisissez les options d'installation :"},
        {102, "Japanese", 169, 125, "ＭＳ Ｐゴシック", 12, "PCI Audio ﾃﾞﾊﾞｲｽﾄﾞﾗｲﾊﾞ/ｱﾌﾟﾘｹｰｼｮﾝ ｲﾝｽﾄｰﾙﾌﾟﾛｸﾞﾗﾑ |OK|ｷｬﾝｾﾙ ||お待ちください .....|ｱﾌﾟﾘｹｰｼｮﾝをｲﾝｽﾄｰﾙする |ﾃﾞﾊﾞｲｽﾄﾞﾗｲﾊﾞをｲﾝｽﾄｰﾙする|ｲﾝｽﾄｰﾙのｵﾌﾟｼｮﾝを選択してください:"},
        {102, "Korean", 169, 125, "굴림", 12, "PCI Audio 드라이버 및 응용프로그램 설치|네|닫기||잠시만 기다려 주십시오 .....|응용프로그램 설치|드라이버 설치|설치 옵션을 선택하여 주십시오:"},
        {103, "English", 212, 210, "MS Sans Serif", 12, "PCI Audio Device Driver Setup Program for Windows 95/98/ME|Install|Cancel|Disable MIDI port (device)|Disable GAME port (device)|You can install the driver by using the default options, or select the|following options which your audio device uses. And then press|[Install] to start the installation.|Phone Jacks|4720 in MotherBoard|Line-in and rear speaker output share the same jack.|Line-in and Center/Subwoofer share the same jack.|Microphone and Subwoofer share the same jack.|4720 in sound card (rear speakers jack individually)|Note: If you are not familiar with the hardware specifications, and are |using a  pair of speakers, we suggest you use the default setting.|For more information, please refer the Readme.txt."},
        {130, "ChineseTraditional", 229, 170, "新細明體", 12, "選擇要安裝的 Windows 98SE/ME 驅動程式架構|確認|取消||虛擬設備 (VxD)|Win32 驅動程式模式 (WDM) |請選擇底下任一種驅動程式架構：|在 SPDIF 方面提供較佳的支援服務，建議 MiniDisc |隨身聽的使用者選用。|提供播放環境與喇叭組態設定功能，建議一般使用|者選用。|備註： 如果您的作業環境是 Windows 98 SE，安裝| WDM 驅動程式時將會需要系統光碟。"},
        {130, "English", 229, 170, "MS Sans Serif", 12, "Windows 98SE/ME device-driver architecture selection|OK|Cancel||Virtual-Device (VxD)|Win32 Driver Model (WDM) |Please select a driver architecture:|Provide comprehensive support on SPDIF. Recommended for |MiniDisc player users.|Provide support on playback environment and speakers setup.|Recommended for general users.|Note: Windows 98 SE system disc is required for installing the|WDM driver under Windows 98 SE."},
        {130, "French", 229, 170, "MS Sans Serif", 12, "Selection de l'architecture du pilote de peripherique pour Windows 98SE/ME|OK|Annuler||Virtual-Device (VxD)|Win32 Driver Model (WDM) |Selectionnez l'architecture du pilote :|Fournit un support complet du SPDIF. Recommande|pour les utilisateurs de lecteur MiniDisc.|Fournit le support pour l'environnement de lecture et l'installation|des haut-parleurs. Recommande pour la plupart des utilisateurs.|Note : Le disque systeme de Windows 98 SE est necessaire pour |l'installation du pilote WDM sous Windows 98 SE."},
        {130, "Japanese", 229, 170, "ＭＳ Ｐゴシック", 12, "Windows 98SE/ME ﾃﾞﾊﾞｲｽﾄﾞﾗｲﾊﾞ形式の選択|OK|ｷｬﾝｾﾙ ||VxD (仮想ﾃﾞﾊﾞｲｽ)|WDM (Windows Driver Model)|ﾄﾞﾗｲﾊﾞの形式を選択してください:|SPDIFについての多彩な設定項目を提供します。|MD (ﾐﾆﾃﾞｨｽｸ)のﾕｰｻﾞｰに最適です。|豊富な再生環境とｽﾋﾟｰｶｰ設定のｵﾌﾟｼｮﾝを提供します。|一般のﾕｰｻﾞｰに適しています。|注: Windows 98 SEでのWDMﾄﾞﾗｲﾊﾞのｲﾝｽﾄｰﾙ時には、|Windows 98 SEのｼｽﾃﾑﾃﾞｨｽｸが求められます。"},
        {130, "Korean", 240, 171, "굴림", 12, "Windows 98SE/ME 드라이버 형식 선택|네|닫기||VxD (가상 디바이스)|WDM (Windows Driver Model)|드라이버 형식을 선택하여 주십시오:|디지털 입출력(SPDIF) 에 관한 보다 자세한 옵션을 제공합니다.|MD (MiniDisc) 녹음기를 사용하시는 분들께 권합니다.|풍부한 재생 및 스피커 설정 옵션을 제공합니다.|일반 사용자분들께 권합니다.|Windows 98 SE에 WDM 드라이버를 설치하실 때에는 Windows 98SE|시스템 디스크가 요구됩니다."},
        {131, "English", 234, 200, "MS Sans Serif", 12, "PCI Audio Device Driver Setup Program for Windows 98 SE/ME|Install|Cancel|Disable legacy device (MIDI/GAME port)|You can install the driver by using the default options, or select the|following options which your audio device uses. And then press|[Install] to start the installation.|Phone Jacks|4720 in MotherBoard|Line-in and rear speaker output share the same jack.|Line-in and Center/Subwoofer share the same jack.|Microphone and Subwoofer share the same jack.|4720 in sound card (rear speakers jack individually)|Note: If you are not familiar with the hardware specifications, and are |using a  pair of speakers, we suggest you use the default setting.|For more information, please refer the Readme.txt."},
    };
    EXPECT_EQ(vm::AllDialogTemplates().size(), std::size(rows) + 1);  // and the About box, which the Wine probe reads
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.id) + " " + row.language);
        const vm::DialogTemplate* dialog = vm::FindDialogTemplate(row.id, row.language);
        ASSERT_TRUE(dialog && dialog->language == row.language);
        EXPECT_EQ(vm::FindDialogTemplate(row.id, "German")->language, "English");  // the loader's fallback
        EXPECT_EQ(dialog->style, 0x80C800C0u);  // popup, caption, system menu, modal frame, font; no minimise box
        EXPECT_EQ(dialog->exStyle, controls.at(row.id).first);
        EXPECT_EQ(Controls(*dialog), controls.at(row.id).second);
        EXPECT_EQ(std::make_tuple(dialog->width, dialog->height, dialog->fontName, dialog->fontSize),
                  std::make_tuple(row.width, row.height, std::string(row.font), row.fontSize));
        EXPECT_EQ(Texts(*dialog), row.texts);
        EXPECT_EQ(*vm::FindResourceString(101, row.language), "&About Setup...");
    }
}

}  // namespace
