#include "platform/vm/dialog_templates.h"

#include <optional>

#include "platform/vm/embedded_resources.h"
#include "platform/vm/rc_constants.h"
#include "platform/vm/rc_cursor.h"

namespace vm {

namespace {

using rc::Cursor;
using rc::Token;

constexpr std::uint32_t kPopup = 0x80000000;
constexpr std::uint32_t kChild = 0x40000000;
constexpr std::uint32_t kVisible = 0x10000000;
constexpr std::uint32_t kCaption = 0x00C00000;
constexpr std::uint32_t kBorder = 0x00800000;
constexpr std::uint32_t kSysMenu = 0x00080000;
constexpr std::uint32_t kGroup = 0x00020000;
constexpr std::uint32_t kTabStop = 0x00010000;
constexpr std::uint32_t kSetFont = 0x0040;

struct ControlKind {
    const char* keyword;
    const char* windowClass;
    std::uint32_t type;          // BS_ or SS_ value
    std::uint32_t withDefaults;  // added when the statement gives no style
    std::uint32_t withExplicit;  // kept when it does
};

// windres's rules: a control without a style list gets a tab stop (buttons)
// or a group start (texts); with a style list the push buttons and check
// boxes keep their tab stop, the radio buttons and texts lose theirs.
constexpr ControlKind kControlKinds[] = {
    {"DEFPUSHBUTTON", "Button", 0x1, kTabStop, kTabStop},
    {"PUSHBUTTON", "Button", 0x0, kTabStop, kTabStop},
    {"CHECKBOX", "Button", 0x2, kTabStop, kTabStop},
    {"AUTOCHECKBOX", "Button", 0x3, kTabStop, kTabStop},
    {"RADIOBUTTON", "Button", 0x4, kTabStop, 0},
    {"AUTORADIOBUTTON", "Button", 0x9, kTabStop, 0},
    {"GROUPBOX", "Button", 0x7, 0, 0},
    {"LTEXT", "Static", 0x0, kGroup, 0},
    {"CTEXT", "Static", 0x1, kGroup, 0},
    {"RTEXT", "Static", 0x2, kGroup, 0},
    {"ICON", "Static", 0x3, 0, 0},
};

const ControlKind* FindControlKind(const std::string& keyword) {
    for (const ControlKind& kind : kControlKinds) {
        if (keyword == kind.keyword) return &kind;
    }
    return nullptr;
}

bool IsMemoryFlag(const Token& token) {
    static const char* const kFlags[] = {"DISCARDABLE", "MOVEABLE", "FIXED",  "PURE",     "IMPURE",
                                         "PRELOAD",     "LOADONCALL", "SHARED", "NONSHARED"};
    for (const char* flag : kFlags) {
        if (token.IsName(flag)) return true;
    }
    return false;
}

class Parser {
public:
    explicit Parser(const rc::Script& script) : cursor_(script) {}

    ResourceScript Run() {
        while (!cursor_.AtEnd()) Statement();
        return std::move(result_);
    }

private:
    void Statement() {
        if (cursor_.TakeName("LANGUAGE")) return Language();
        if (cursor_.TakeName("STRINGTABLE")) return StringTable();
        std::optional<long long> ordinal;
        const Token& name = cursor_.Peek();
        if (name.kind == Token::Kind::Number || cursor_.AtNumberName() || name.IsPunct('(')) {
            ordinal = cursor_.Number("as a resource's number");
        } else if (name.kind == Token::Kind::Name || name.kind == Token::Kind::String) {
            cursor_.Next();
        } else {
            cursor_.Fail("expected a resource, found '" + name.text + "'");
        }
        const Token& type = cursor_.Next();
        if (type.IsName("DIALOGEX")) {
            if (!ordinal || *ordinal < 1 || *ordinal > 0xFFFF) cursor_.Fail("a dialog needs a number from 1 to 65535");
            return Dialog(static_cast<int>(*ordinal));
        }
        SkipMemoryFlags();
        if (type.IsName("ICON")) {
            cursor_.ExpectString("naming the icon's file");
        } else if (type.IsName("VERSIONINFO")) {
            SkipBlock();
        } else {
            cursor_.Fail("unsupported resource type '" + type.text + "'");
        }
    }

    void Language() {
        const long long primary = cursor_.Number("after LANGUAGE");
        cursor_.ExpectPunct(',', "between the language and the sub-language");
        const long long sub = cursor_.Number("as the sub-language");
        if (primary < 0 || primary > 0x3FF || sub < 0 || sub > 0x3F) cursor_.Fail("language out of range");
        languageId_ = static_cast<std::uint16_t>(sub << 10 | primary);
    }

    void StringTable() {
        SkipMemoryFlags();
        ExpectBlockStart("STRINGTABLE");
        const std::string language = rc::LanguageName(languageId_);
        while (!cursor_.AtBlockEnd()) {
            const long long id = cursor_.Number("as a string's number");
            if (id < 0 || id > 0xFFFF) cursor_.Fail("string number out of range");
            cursor_.TakePunct(',');
            ResourceString entry{static_cast<int>(id), language, cursor_.ExpectString("for the string")};
            if (FindExact(result_.strings, entry.id, language) != result_.strings.end()) {
                cursor_.Fail("string " + std::to_string(id) + " defined twice");
            }
            result_.strings.push_back(std::move(entry));
        }
        cursor_.Next();
    }

    void Dialog(int id) {
        DialogTemplate dialog;
        dialog.id = id;
        dialog.languageId = languageId_;
        dialog.language = rc::LanguageName(languageId_);
        if (FindExact(result_.dialogs, id, dialog.language) != result_.dialogs.end()) {
            cursor_.Fail("dialog " + std::to_string(id) + " defined twice for " + dialog.language);
        }
        SkipMemoryFlags();
        dialog.x = cursor_.Int16("as the dialog's x");
        cursor_.ExpectPunct(',', "after the dialog's x");
        dialog.y = cursor_.Int16("as the dialog's y");
        cursor_.ExpectPunct(',', "after the dialog's y");
        dialog.width = cursor_.Int16("as the dialog's width");
        cursor_.ExpectPunct(',', "after the dialog's width");
        dialog.height = cursor_.Int16("as the dialog's height");
        if (cursor_.TakePunct(',')) cursor_.Number("as the dialog's help id");

        // CAPTION and FONT add their styles to what STYLE states, before or after it.
        std::uint32_t style = kPopup | kBorder | kSysMenu;
        std::uint32_t stated = 0;
        while (!cursor_.AtBlockStart()) {
            if (cursor_.TakeName("STYLE")) {
                stated = cursor_.Style(stated);
                style = stated;
            } else if (cursor_.TakeName("EXSTYLE")) {
                dialog.exStyle = cursor_.Style(dialog.exStyle);
            } else if (cursor_.TakeName("CAPTION")) {
                dialog.title = cursor_.ExpectString("after CAPTION");
                style |= kCaption;
                stated |= kCaption;
            } else if (cursor_.TakeName("FONT")) {
                Font(dialog);
                style |= kSetFont;
                stated |= kSetFont;
            } else {
                cursor_.Fail("unsupported dialog statement '" + cursor_.Peek().text + "'");
            }
        }
        dialog.style = style;
        cursor_.Next();
        while (!cursor_.AtBlockEnd()) {
            ControlTemplate control = Control();
            if (control.id != -1 && dialog.FindControl(control.id) != nullptr) {
                cursor_.Fail("control " + std::to_string(control.id) + " used twice in dialog " + std::to_string(id));
            }
            dialog.controls.push_back(std::move(control));
        }
        cursor_.Next();
        result_.dialogs.push_back(std::move(dialog));
    }

    void Font(DialogTemplate& dialog) {
        dialog.fontSize = cursor_.Int16("as the font size");
        cursor_.ExpectPunct(',', "after the font size");
        dialog.fontName = cursor_.ExpectString("naming the font");
        if (cursor_.TakePunct(',')) dialog.fontWeight = cursor_.Int16("as the font weight");
        if (cursor_.TakePunct(',')) dialog.fontItalic = cursor_.Number("as the font's italic flag") != 0;
        if (cursor_.TakePunct(',')) {
            const long long charset = cursor_.Number("as the font's character set");
            if (charset < 0 || charset > 255) cursor_.Fail("character set out of range");
            dialog.fontCharset = static_cast<int>(charset);
        }
    }

    ControlTemplate Control() {
        const Token& keyword = cursor_.Next();
        const ControlKind* kind = keyword.kind == Token::Kind::Name ? FindControlKind(keyword.text) : nullptr;
        if (kind == nullptr) cursor_.Fail("unsupported control statement '" + keyword.text + "'");
        ControlTemplate control;
        control.kind = kind->keyword;
        control.windowClass = kind->windowClass;
        const bool icon = control.kind == "ICON";
        if (icon) {
            const long long iconId = cursor_.Number("as the icon's number");
            if (iconId < 1 || iconId > 0xFFFF) cursor_.Fail("icon number out of range");
            control.iconId = static_cast<int>(iconId);
        } else {
            control.text = cursor_.ExpectString("as the control's text");
        }
        cursor_.ExpectPunct(',', "after the control's text");
        const long long id = cursor_.Number("as the control's id");
        if (id < -1 || id > 0xFFFF) cursor_.Fail("control id out of range");
        control.id = static_cast<int>(id);
        cursor_.ExpectPunct(',', "after the control's id");
        control.x = cursor_.Int16("as the control's x");
        cursor_.ExpectPunct(',', "after the control's x");
        control.y = cursor_.Int16("as the control's y");
        if (!icon || cursor_.TakePunct(',')) {
            if (!icon) cursor_.ExpectPunct(',', "after the control's y");
            control.width = cursor_.Int16("as the control's width");
            cursor_.ExpectPunct(',', "after the control's width");
            control.height = cursor_.Int16("as the control's height");
        }
        control.style = kChild | kVisible | kind->type | kind->withDefaults;
        if (cursor_.TakePunct(',')) {
            control.style = cursor_.Style(kChild | kVisible | kind->type | kind->withExplicit);
            if (cursor_.TakePunct(',')) {
                control.exStyle = static_cast<std::uint32_t>(cursor_.Number("as the control's extended style"));
            }
            if (cursor_.Peek().IsPunct(',')) cursor_.Fail("help ids and control data are not supported");
        }
        control.tabStop = (control.style & kTabStop) != 0;
        control.groupStart = (control.style & kGroup) != 0;
        return control;
    }

    void SkipMemoryFlags() {
        while (!cursor_.AtEnd() && IsMemoryFlag(cursor_.Peek())) cursor_.Next();
    }

    void ExpectBlockStart(const std::string& context) {
        if (!cursor_.AtBlockStart()) cursor_.Fail("expected BEGIN after " + context);
        cursor_.Next();
    }

    // A resource the virtual machine has no use for: its header, then one
    // BEGIN ... END with whatever blocks it nests.
    void SkipBlock() {
        while (!cursor_.AtBlockStart()) cursor_.Next();
        int depth = 0;
        do {
            if (cursor_.AtBlockStart()) ++depth;
            if (cursor_.AtBlockEnd()) --depth;
            cursor_.Next();
        } while (depth > 0);
    }

    template <typename T>
    static typename std::vector<T>::const_iterator FindExact(const std::vector<T>& items, int id,
                                                             const std::string& language) {
        for (auto it = items.begin(); it != items.end(); ++it) {
            if (it->id == id && it->language == language) return it;
        }
        return items.end();
    }

    Cursor cursor_;
    std::uint16_t languageId_ = 0x0409;  // windres's language before any LANGUAGE statement
    ResourceScript result_;
};

// The loader's choice among the variants of one resource.
template <typename T>
const T* FindForLanguage(const std::vector<T>& items, int id, const std::string& language) {
    const T* neutral = nullptr;
    const T* english = nullptr;
    const T* first = nullptr;
    for (const T& item : items) {
        if (item.id != id) continue;
        if (item.language == language) return &item;
        if (neutral == nullptr && item.language == "Neutral") neutral = &item;
        if (english == nullptr && item.language == "English") english = &item;
        if (first == nullptr) first = &item;
    }
    if (neutral != nullptr) return neutral;
    return english != nullptr ? english : first;
}

}  // namespace

const ControlTemplate* DialogTemplate::FindControl(int controlId) const {
    for (const ControlTemplate& control : controls) {
        if (control.id == controlId) return &control;
    }
    return nullptr;
}

ResourceScript ParseResourceScript(const std::string& mainFile, const rc::FileLoader& load) {
    const rc::Script script = rc::ReadScript(mainFile, load);
    return Parser(script).Run();
}

const ResourceScript& ProgramResources() {
    static const ResourceScript script = ParseResourceScript("setup.rc", EmbeddedResourceText);
    return script;
}

const std::vector<DialogTemplate>& AllDialogTemplates() { return ProgramResources().dialogs; }

const DialogTemplate* FindDialogTemplate(const ResourceScript& script, int id, const std::string& language) {
    return FindForLanguage(script.dialogs, id, language);
}

const DialogTemplate* FindDialogTemplate(int id, const std::string& language) {
    return FindDialogTemplate(ProgramResources(), id, language);
}

const std::string* FindResourceString(const ResourceScript& script, int id, const std::string& language) {
    const ResourceString* entry = FindForLanguage(script.strings, id, language);
    return entry != nullptr ? &entry->text : nullptr;
}

const std::string* FindResourceString(int id, const std::string& language) {
    return FindResourceString(ProgramResources(), id, language);
}

}  // namespace vm
