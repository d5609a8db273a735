#include "platform/vm/rc_constants.h"

#include <cstdio>
#include <map>

namespace vm::rc {

std::optional<std::uint32_t> Win32Constant(const std::string& name) {
    static const std::map<std::string, std::uint32_t> kConstants = {
        // Window styles
        {"WS_OVERLAPPED", 0x00000000}, {"WS_POPUP", 0x80000000}, {"WS_CHILD", 0x40000000},
        {"WS_MINIMIZE", 0x20000000}, {"WS_VISIBLE", 0x10000000}, {"WS_DISABLED", 0x08000000},
        {"WS_CLIPSIBLINGS", 0x04000000}, {"WS_CLIPCHILDREN", 0x02000000}, {"WS_MAXIMIZE", 0x01000000},
        {"WS_CAPTION", 0x00C00000}, {"WS_BORDER", 0x00800000}, {"WS_DLGFRAME", 0x00400000},
        {"WS_VSCROLL", 0x00200000}, {"WS_HSCROLL", 0x00100000}, {"WS_SYSMENU", 0x00080000},
        {"WS_THICKFRAME", 0x00040000}, {"WS_GROUP", 0x00020000}, {"WS_TABSTOP", 0x00010000},
        {"WS_MINIMIZEBOX", 0x00020000}, {"WS_MAXIMIZEBOX", 0x00010000},
        // Extended window styles
        {"WS_EX_DLGMODALFRAME", 0x00000001}, {"WS_EX_NOPARENTNOTIFY", 0x00000004},
        {"WS_EX_TOPMOST", 0x00000008}, {"WS_EX_TRANSPARENT", 0x00000020}, {"WS_EX_TOOLWINDOW", 0x00000080},
        {"WS_EX_WINDOWEDGE", 0x00000100}, {"WS_EX_CLIENTEDGE", 0x00000200},
        {"WS_EX_CONTEXTHELP", 0x00000400}, {"WS_EX_STATICEDGE", 0x00020000},
        {"WS_EX_APPWINDOW", 0x00040000},
        // Dialog styles
        {"DS_ABSALIGN", 0x0001}, {"DS_SYSMODAL", 0x0002}, {"DS_3DLOOK", 0x0004}, {"DS_FIXEDSYS", 0x0008},
        {"DS_NOFAILCREATE", 0x0010}, {"DS_LOCALEDIT", 0x0020}, {"DS_SETFONT", 0x0040},
        {"DS_MODALFRAME", 0x0080}, {"DS_NOIDLEMSG", 0x0100}, {"DS_SETFOREGROUND", 0x0200},
        {"DS_CONTROL", 0x0400}, {"DS_CENTER", 0x0800}, {"DS_CENTERMOUSE", 0x1000},
        {"DS_CONTEXTHELP", 0x2000},
        // Button styles
        {"BS_PUSHBUTTON", 0x0000}, {"BS_DEFPUSHBUTTON", 0x0001}, {"BS_CHECKBOX", 0x0002},
        {"BS_AUTOCHECKBOX", 0x0003}, {"BS_RADIOBUTTON", 0x0004}, {"BS_3STATE", 0x0005},
        {"BS_AUTO3STATE", 0x0006}, {"BS_GROUPBOX", 0x0007}, {"BS_AUTORADIOBUTTON", 0x0009},
        {"BS_LEFTTEXT", 0x0020}, {"BS_MULTILINE", 0x2000}, {"BS_NOTIFY", 0x4000},
        // Static styles
        {"SS_LEFT", 0x0000}, {"SS_CENTER", 0x0001}, {"SS_RIGHT", 0x0002}, {"SS_ICON", 0x0003},
        {"SS_NOPREFIX", 0x0080}, {"SS_CENTERIMAGE", 0x0200}, {"SS_SUNKEN", 0x1000},
        // Dialog results and the usual control ids
        {"IDOK", 1}, {"IDCANCEL", 2}, {"IDABORT", 3}, {"IDRETRY", 4}, {"IDIGNORE", 5},
        {"IDYES", 6}, {"IDNO", 7},
        // Languages
        {"LANG_NEUTRAL", 0x00}, {"LANG_CHINESE", 0x04}, {"LANG_GERMAN", 0x07}, {"LANG_ENGLISH", 0x09},
        {"LANG_FRENCH", 0x0C}, {"LANG_JAPANESE", 0x11}, {"LANG_KOREAN", 0x12},
        {"SUBLANG_NEUTRAL", 0x00}, {"SUBLANG_DEFAULT", 0x01}, {"SUBLANG_SYS_DEFAULT", 0x02},
        {"SUBLANG_ENGLISH_US", 0x01}, {"SUBLANG_ENGLISH_UK", 0x02}, {"SUBLANG_FRENCH", 0x01},
        {"SUBLANG_GERMAN", 0x01}, {"SUBLANG_KOREAN", 0x01}, {"SUBLANG_CHINESE_TRADITIONAL", 0x01},
        {"SUBLANG_CHINESE_SIMPLIFIED", 0x02}, {"SUBLANG_CHINESE_HONGKONG", 0x03},
        {"SUBLANG_CHINESE_SINGAPORE", 0x04},
        // Version resource
        {"VS_VERSION_INFO", 1},
    };
    const auto found = kConstants.find(name);
    if (found == kConstants.end()) return std::nullopt;
    return found->second;
}

std::string LanguageName(std::uint16_t languageId) {
    const int primary = languageId & 0x3FF;
    const int sub = languageId >> 10;
    switch (primary) {
        case 0x00: return "Neutral";
        case 0x09: return "English";
        case 0x0C: return "French";
        case 0x11: return "Japanese";
        case 0x12: return "Korean";
        case 0x04:
            if (sub == 0x01 || sub == 0x03) return "ChineseTraditional";
            if (sub == 0x02 || sub == 0x04) return "ChineseSimplified";
            break;
        default: break;
    }
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%04X", languageId);
    return hex;
}

}  // namespace vm::rc
