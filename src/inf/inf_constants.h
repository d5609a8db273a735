// The INF lines, sections, keys and texts the rewriting rules look for and
// write, exactly as they stand in the files (blanks included).
#pragma once

#include <cstddef>
#include <cstdint>

namespace setup::inf {

// fgets buffer of the rules: lines longer than 1023 characters arrive in pieces.
constexpr std::size_t kLineBufferChars = 1024;

// The pause before each legacy-device switch is written.
constexpr std::uint32_t kLegacySwitchPauseMs = 100;

// Config switches of the VxD INF; the last character is the one-byte value.
constexpr const char* kDisableMidiLine = "HKR,Config,DISMPU,1,0";
constexpr const char* kDisableGamePortLine = "HKR,Config,DISJSTK,1,0";
constexpr const char* kLineInRearLine = "HKR,Config,LINEINasREAR,1,1";
constexpr const char* kLineInBassLine = "HKR,Config,LINEINasBASS,1,0";
constexpr const char* kMicBassLine = "HKR,Config,MICasBASS,1,0";

// Settings values of the WDM INF: 55 characters each, the line may go on
// after them. Column 48 is the low hex digit of the first value byte.
constexpr char kEnableLegacyLine[] = "HKR,\"Settings\",\"EnableLegacy\",    0x00010001,0x03,0,0,0";
constexpr char kJackConfigLine[] = "HKR,\"Settings\",\"JackConfig\",      0x00010001,0x05,0,0,0";
constexpr std::size_t kSettingsLineChars = 55;
constexpr std::size_t kSettingsValueColumn = 48;
constexpr char kLegacyDisabledDigit = '2';  // 0x03 becomes 0x02: bit 0x1 clear
static_assert(sizeof(kEnableLegacyLine) - 1 == kSettingsLineChars, "EnableLegacy line is 55 characters");
static_assert(sizeof(kJackConfigLine) - 1 == kSettingsLineChars, "JackConfig line is 55 characters");
static_assert(kEnableLegacyLine[kSettingsValueColumn] == '3', "column 48 holds the EnableLegacy digit");
static_assert(kJackConfigLine[kSettingsValueColumn] == '5', "column 48 holds the JackConfig digit");

// Source-disk entries.
constexpr const char* kSourceDisksNames = "SourceDisksNames";
constexpr const char* kSourceDisksFiles = "SourceDisksFiles";
constexpr const char* kVxdDiskKey = "1";
constexpr const char* kWdmDiskKey = "200";
constexpr const char* kCatalogFileKey = "ovaudio.cat";
constexpr const char* kWdmDiskDescription = "\"Orvanta WDM Audio Driver Disk\",,,";
constexpr const char* kVxdStagingPath = "C:\\Program Files\\Orvanta\\WIN_9x";
constexpr const char* kWdmStagingPath = "C:\\Program Files\\Orvanta\\WIN_ME";
constexpr const char* kPathSeparator = ", ";

// Copy flags of the system's kernel-streaming INF files.
constexpr const char* kInfFolder = "INF\\";
constexpr const char* kKeepExistingFlags = ",,,0x00000010";  // keep a file already on the system
constexpr const char* kDelFilesHeaderEnd = "delfiles]";
constexpr const char* kLineEnd = "\r\n";

}  // namespace setup::inf
