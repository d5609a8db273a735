// The dialog templates and strings of setup.exe, read from the same resource
// scripts (src/resources/*.rc, *.rci) that the resource compiler builds into
// the program, so that the virtual machine shows the very dialogs Windows
// would. Styles are computed as windres computes them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/vm/rc_script.h"

namespace vm {

struct ControlTemplate {
    int id = -1;               // -1 for IDC_STATIC
    std::string kind;          // the statement: "DEFPUSHBUTTON", "AUTOCHECKBOX", "LTEXT", "ICON", ...
    std::string windowClass;   // "Button" or "Static"
    std::string text;          // UTF-8; empty for ICON
    int iconId = -1;           // ICON: the icon resource shown
    int x = 0, y = 0, width = 0, height = 0;  // dialog units, as written (ICON's size is
                                              // not stored by the compiler: it sizes itself)
    std::uint32_t style = 0;   // complete, WS_CHILD | WS_VISIBLE included
    std::uint32_t exStyle = 0;
    bool tabStop = false;      // WS_TABSTOP
    bool groupStart = false;   // WS_GROUP

    bool HasStyle(std::uint32_t bits) const { return (style & bits) == bits; }
};

struct DialogTemplate {
    int id = 0;
    std::string language;      // "English", "French", "Japanese", "Korean", "ChineseTraditional"
    std::uint16_t languageId = 0;  // the LANGID, e.g. 0x0409
    std::string title;
    int x = 0, y = 0, width = 0, height = 0;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    std::string fontName;      // with DS_SETFONT
    int fontSize = 0;
    int fontWeight = 0;
    bool fontItalic = false;
    int fontCharset = 1;
    std::vector<ControlTemplate> controls;  // template order, which is the tab order

    bool HasStyle(std::uint32_t bits) const { return (style & bits) == bits; }
    const ControlTemplate* FindControl(int controlId) const;
};

struct ResourceString {
    int id = 0;
    std::string language;
    std::string text;
};

struct ResourceScript {
    std::vector<DialogTemplate> dialogs;  // in script order
    std::vector<ResourceString> strings;
};

// Reads a script and the files it includes. Throws rc::ScriptError (file and
// line) on anything outside the subset the program's scripts use.
ResourceScript ParseResourceScript(const std::string& mainFile, const rc::FileLoader& load);

// The program's own resources (setup.rc as built into setup.exe), read once.
const ResourceScript& ProgramResources();
const std::vector<DialogTemplate>& AllDialogTemplates();

// As the Windows loader picks a resource for the user's language: that
// language's variant, else the English one, else the first there is;
// nullptr when no language has it.
const DialogTemplate* FindDialogTemplate(int id, const std::string& language);
const DialogTemplate* FindDialogTemplate(const ResourceScript& script, int id, const std::string& language);
const std::string* FindResourceString(int id, const std::string& language);
const std::string* FindResourceString(const ResourceScript& script, int id, const std::string& language);

}  // namespace vm
