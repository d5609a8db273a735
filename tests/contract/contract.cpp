#include "contract/contract.h"

#include "platform/journal/journal_text.h"

namespace contract {

// As the journal quotes values, so that "" shows.
std::string Shown(const std::string& bytes) { return bytes.empty() ? "\"\"" : platform::QuotedValue(bytes); }

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
