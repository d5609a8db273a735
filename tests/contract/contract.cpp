#include "contract/contract.h"

#include <cstdio>

namespace contract {

namespace {

template <class T>
void Compare(const Host& host, const std::string& row, const T& actual, const Windows<T>& expected, const char* wineDiffers,
             int& checked, int& skipped, std::vector<std::string>& failures, std::string (*show)(const T&)) {
    if (host.wine && wineDiffers) {
        ++skipped;
        return;
    }
    ++checked;
    const T& wanted = host.system == System::Nt ? expected.nt : expected.win9x;
    if (actual == wanted) return;
    failures.push_back(row + ": Windows " + (host.system == System::Nt ? "NT" : "9x") + " answers " + show(wanted) +
                       ", this backend " + show(actual));
}

std::string ShowNumber(const long long& number) { return std::to_string(number); }

}  // namespace

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

void Report::Expect(const std::string& row, const std::string& actual, const Windows<std::string>& expected,
                    const char* wineDiffers) {
    Compare<std::string>(host_, row, actual, expected, wineDiffers, checked_, skipped_, failures_, Shown);
}

void Report::Expect(const std::string& row, long long actual, const Windows<long long>& expected, const char* wineDiffers) {
    Compare<long long>(host_, row, actual, expected, wineDiffers, checked_, skipped_, failures_, ShowNumber);
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
