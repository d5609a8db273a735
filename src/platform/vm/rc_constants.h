// Win32 names the resource scripts use, with their documented values: the
// reader skips <windows.h>, so it knows these itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vm::rc {

// Window, dialog, button and static styles, language ids, IDOK and friends.
std::optional<std::uint32_t> Win32Constant(const std::string& name);

// The name the virtual machine uses for a language id: "English", "French",
// "Japanese", "Korean", "ChineseTraditional", ...; "0x0407" for the others.
std::string LanguageName(std::uint16_t languageId);

}  // namespace vm::rc
