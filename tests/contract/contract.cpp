#include "contract/contract.h"

#include <cstdio>

namespace contract {

std::string Shown(const std::string& bytes) {
    std::string shown = "\"";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r' || c == '\n') {
            shown += c == '\r' ? "\\r" : "\\n";
            continue;
        }
        if (c == '"' || c == '\\') shown += '\\';
        if (byte >= 0x20 && byte < 0x7F) {
            shown += c;
            continue;
        }
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
        shown += escaped;
    }
    return shown + "\"";
}

void PutFile(platform::Platform& api, const std::string& path, const std::string& bytes) {
    if (const auto stream = api.fopen(path, "wb")) stream->Write(bytes);
}

std::string FileBytes(platform::Platform& api, const std::string& path) {
    const auto stream = api.fopen(path, "rb");
    return stream ? stream->Read(1 << 20) : "(none)";
}

std::vector<std::string> RunAll(Host& host, int* checked) {
    Report report(host);
    host.api.CreateDirectory(Host::kFolder);
    host.CreateKey(platform::HKEY_CURRENT_USER, Host::kKey);
    ProfileFiles(host, report);
    Registry(host, report);
    FilesAndSearches(host, report);
    Streams(host, report);
    if (checked) *checked = report.Checked();
    return report.Failures();
}

}  // namespace contract
